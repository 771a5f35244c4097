#include <benchmark/benchmark.h>

#include <QProcess>
#include <QTemporaryDir>

// Time from process start to the main window shown (splash skipped), for the player and for a
// bare Qt window, each started afresh per iteration on the offscreen platform.

namespace {

void runToShown(benchmark::State& state, const QString& program, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    while (state.KeepRunning()) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            state.SkipWithError("the program did not start and end cleanly");
            return;
        }
    }
}

void BM_PlayerStartToMainWindow(benchmark::State& state) {
    QTemporaryDir home;
    runToShown(state, QStringLiteral(VOCALIA_PLAYER_PATH),
               {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash"),
                QStringLiteral("--quit-when-shown")});
}
BENCHMARK(BM_PlayerStartToMainWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BareQtWindowStart(benchmark::State& state) {
    runToShown(state, QStringLiteral(VOCALIA_BARE_WINDOW_PATH), {});
}
BENCHMARK(BM_BareQtWindowStart)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
