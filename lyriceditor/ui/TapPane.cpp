#include "lyriceditor/ui/TapPane.h"

#include <QKeyEvent>
#include <QLabel>
#include <QList>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

#include "media/MusicPlayer.h"

namespace {

constexpr const char* kTapHint =
    "先把整首歌词粘贴到上面,再播放歌曲,每句(逐字标记时每个字)开始唱时按空格键.\n"
    "退格键: 退回上一句重新标记    ←键: 倒回5秒重听";

const QColor kTappedBack(0xd8, 0xee, 0xd8);
const QColor kLineBack(0xff, 0xf2, 0xb0);
const QColor kWordBack(0xff, 0xb8, 0x4a);

QTextEdit::ExtraSelection marked(QTextCursor cursor, const QColor& back) {
    QTextEdit::ExtraSelection selection;
    selection.cursor = std::move(cursor);
    selection.format.setBackground(back);
    return selection;
}

// A cursor selecting `length` characters from `begin` of `block`.
QTextCursor span(const QTextBlock& block, int begin, int length) {
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + begin);
    cursor.setPosition(block.position() + begin + length, QTextCursor::KeepAnchor);
    return cursor;
}

int utf16Length(const std::string& text) {
    return static_cast<int>(QString::fromStdString(text).size());
}

}  // namespace

TapPane::TapPane(MusicPlayer& player, QWidget* parent) : QWidget(parent), m_player(player) {
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("tapTextEdit"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->installEventFilter(this);
    auto* hint = new QLabel(QString::fromUtf8(kTapHint), this);
    hint->setObjectName(QStringLiteral("tapHintLabel"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_text, 1);
    column->addWidget(hint);
}

void TapPane::SetMode(TapDraft::Mode mode) {
    m_mode = mode;
}

void TapPane::SongStateChanged() {
    m_text->setReadOnly(m_player.State() != GraphState::Stopped || m_draft.Stamps() > 0);
    FocusTaps();
}

void TapPane::FocusTaps() {
    if (m_player.State() != GraphState::Stopped && isVisible()) {
        m_text->setFocus();
    }
}

bool TapPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::KeyPress &&
        m_player.State() != GraphState::Stopped) {
        return TakeKey(static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}

bool TapPane::TakeKey(int key) {
    switch (key) {
        case Qt::Key_Space:
            Tap();
            return true;
        case Qt::Key_Backspace:
            StepBack();
            return true;
        case Qt::Key_Left:
            Replay();
            return true;
        default:
            return false;
    }
}

void TapPane::Tap() {
    if (m_draft.Stamps() == 0) {
        // The pasted text as it will be tapped: one line a row, blank lines gone.
        m_draft = TapDraft(splitTapLines(m_text->toPlainText().toStdString()), m_mode);
        QStringList lines;
        for (const TapLine& line : m_draft.Lines()) {
            lines << QString::fromStdString(line.Text());
        }
        m_text->setPlainText(lines.join(QLatin1Char('\n')));
    }
    if (m_draft.Tap(m_player.GetPositionMs())) {
        ShowStamps();
    }
}

void TapPane::StepBack() {
    if (const auto start = m_draft.StepBack()) {
        m_player.SeekMs(std::max<int64_t>(*start - kStepBackLeadMs, 0));
        ShowStamps();
    }
}

void TapPane::Replay() {
    m_player.SeekMs(std::max<int64_t>(m_player.GetPositionMs() - kReplayMs, 0));
}

void TapPane::ShowStamps() {
    const TapDraft::Spot current = m_draft.Current();
    QList<QTextEdit::ExtraSelection> selections;
    QTextDocument* document = m_text->document();
    for (int line = 0; line < current.line; ++line) {
        const QTextBlock block = document->findBlockByNumber(line);
        selections << marked(span(block, 0, block.length() - 1), kTappedBack);
    }
    if (current.line >= 0) {
        const QTextBlock block = document->findBlockByNumber(current.line);
        selections << marked(span(block, 0, block.length() - 1), kLineBack);
        const auto& units = m_draft.Lines()[static_cast<size_t>(current.line)].units;
        if (m_draft.TapMode() == TapDraft::Mode::Words) {
            int begin = 0;
            for (int unit = 0; unit < current.unit; ++unit) {
                begin += utf16Length(units[static_cast<size_t>(unit)]);
            }
            const QString word =
                QString::fromStdString(units[static_cast<size_t>(current.unit)]).trimmed();
            selections << marked(span(block, begin, static_cast<int>(word.size())), kWordBack);
        }
        QTextCursor at(block);
        m_text->setTextCursor(at);
        m_text->ensureCursorVisible();
    }
    m_text->setExtraSelections(selections);
    SongStateChanged();
    Q_EMIT stampsChanged();
}
