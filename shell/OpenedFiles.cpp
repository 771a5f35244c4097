#include "shell/OpenedFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <array>
#include <memory>

#include "library/M3uPlaylist.h"
#include "library/ui/LeftForm.h"
#include "library/ui/SongListDocument.h"
#include "playback/MelodeckDoc.h"

namespace {

constexpr std::array kMusicSuffixes = {"mp3", "wma", "wav", "mid", "midi", "asf", "cdg", "zip"};
constexpr std::array kVideoSuffixes = {"avi", "mpg", "mpeg", "dat"};
constexpr std::array kPlaylistSuffixes = {"m3u", "m3u8"};

// Options whose next argument is their value, not a file.
constexpr std::array kOptionsWithValue = {"--home", "--screenshot"};

template <size_t N>
bool hasSuffix(const QFileInfo& file, const std::array<const char*, N>& suffixes) {
    const QString suffix = file.suffix().toLower();
    for (const char* candidate : suffixes) {
        if (suffix == QLatin1String(candidate)) {
            return true;
        }
    }
    return false;
}

// The song beside a lyric file: the same name with a music suffix; empty when there is none.
std::string songBesideLyric(const QFileInfo& lyric) {
    const QDir folder = lyric.dir();
    const QStringList siblings = folder.entryList({lyric.completeBaseName() + QStringLiteral(".*")},
                                                  QDir::Files, QDir::Name);
    for (const QString& name : siblings) {
        if (hasSuffix(QFileInfo(name), kMusicSuffixes)) {
            return folder.filePath(name).toStdString();
        }
    }
    return {};
}

void sortPath(OpenedFiles& opened, const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile()) {
        return;
    }
    const std::string absolute = file.absoluteFilePath().toStdString();
    if (hasSuffix(file, kMusicSuffixes)) {
        opened.songs.push_back(absolute);
    } else if (hasSuffix(file, kPlaylistSuffixes)) {
        for (const SongEntry& entry : LoadM3u(absolute)) {
            opened.songs.push_back(entry.Path);
        }
    } else if (file.suffix().toLower() == QLatin1String("lrc") && opened.lyric.empty()) {
        opened.lyricMedia = songBesideLyric(file);
        opened.lyric = opened.lyricMedia.empty() ? std::string() : absolute;
    } else if (hasSuffix(file, kVideoSuffixes) && opened.video.empty()) {
        opened.video = absolute;
    }
}

}  // namespace

OpenedFiles OpenedFiles::FromArguments(const QStringList& arguments, const QString& workingFolder) {
    QStringList paths;
    const QDir base(workingFolder);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument.startsWith(QStringLiteral("--"))) {
            const bool takesValue = std::find(kOptionsWithValue.begin(), kOptionsWithValue.end(),
                                              argument.toStdString()) != kOptionsWithValue.end();
            i += takesValue ? 1 : 0;
            continue;
        }
        const QUrl url(argument);
        paths << (url.isLocalFile() ? url.toLocalFile() : base.absoluteFilePath(argument));
    }
    return FromPaths(paths);
}

OpenedFiles OpenedFiles::FromPaths(const QStringList& paths) {
    OpenedFiles opened;
    for (const QString& path : paths) {
        sortPath(opened, path);
    }
    return opened;
}

QStringList OpenedFiles::Paths() const {
    QStringList paths;
    for (const std::string& song : songs) {
        paths << QString::fromStdString(song);
    }
    for (const std::string* single : {&lyric, &video}) {
        if (!single->empty()) {
            paths << QString::fromStdString(*single);
        }
    }
    return paths;
}

void OpenedFiles::Open(CMelodeckDoc& doc, CLeftForm& songList) const {
    if (!songs.empty()) {
        // The files are probed on a worker thread; the first row that arrives plays. When none
        // arrives (the list was replaced meanwhile) a later song must not start by itself.
        SongListDocument& lists = songList.SongLists();
        auto playFirst = std::make_shared<QMetaObject::Connection>();
        *playFirst = QObject::connect(&lists, &SongListDocument::rowAppended, &songList,
                                      [&doc, &songList, playFirst](int row) {
                                          QObject::disconnect(*playFirst);
                                          doc.m_curSong = row;
                                          songList.SelectRow(row);
                                          doc.OnPlay();
                                      });
        QObject::connect(
            &lists.Adder(), &SongFileAdder::finished, &songList,
            [playFirst] { QObject::disconnect(*playFirst); }, Qt::SingleShotConnection);
        lists.AddSongFiles(songs);
    } else if (!lyric.empty()) {
        doc.PlayWithLyric(lyric, lyricMedia);
    } else if (!video.empty()) {
        doc.PlayVideoFile(video);
    }
}
