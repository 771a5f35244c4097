#include "lyriceditor/TapDraft.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace {

// Scripts written without blanks between words: each character is sung on its own.
bool isCharacterScript(char32_t c) {
    switch (QChar::script(c)) {
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Hangul:
        case QChar::Script_Bopomofo:
            return true;
        default:
            return false;
    }
}

// Cuts one trimmed line into pieces, as TapLine describes.
TapLine splitLine(const QString& line) {
    TapLine result;
    std::u32string unit;
    bool hasBody = false;  // the piece holds more than punctuation
    bool closed = false;   // the next letter starts a new piece
    const auto push = [&] {
        if (!unit.empty()) {
            result.units.push_back(
                QString::fromUcs4(unit.data(), static_cast<qsizetype>(unit.size())).toStdString());
        }
        unit.clear();
        hasBody = false;
        closed = false;
    };
    for (const char32_t c : line.toUcs4()) {
        if (QChar::isSpace(c)) {
            unit += c;
            closed = true;
        } else if (isCharacterScript(c)) {
            if (hasBody) {
                push();
            }
            unit += c;
            hasBody = true;
            closed = true;
        } else if (QChar::isPunct(c) && hasBody) {
            unit += c;
        } else {
            if (closed && hasBody) {
                push();
            }
            unit += c;
            hasBody = hasBody || !QChar::isPunct(c);
        }
    }
    push();
    return result;
}

int64_t hundredths(int64_t ms) {
    return std::max<int64_t>(ms, 0) / 10 * 10;
}

std::string wordTag(int64_t ms) {
    std::string tag = lrcTimeTag(ms);
    tag.front() = '<';
    tag.back() = '>';
    return tag;
}

}  // namespace

std::string TapLine::Text() const {
    std::string text;
    for (const std::string& unit : units) {
        text += unit;
    }
    return text;
}

std::vector<TapLine> splitTapLines(std::string_view text) {
    std::vector<TapLine> lines;
    const QString all = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (const QString& line : all.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty()) {
            lines.push_back(splitLine(trimmed));
        }
    }
    return lines;
}

TapDraft::TapDraft(std::vector<TapLine> lines, Mode mode)
    : m_lines(std::move(lines)), m_mode(mode) {}

bool TapDraft::Tap(int64_t positionMs) {
    const int64_t stamp = hundredths(positionMs);
    if (Finished() || (!m_stamps.empty() && stamp < m_stamps.back())) {
        return false;
    }
    m_stamps.push_back(stamp);
    m_modified = true;
    return true;
}

std::optional<int64_t> TapDraft::StepBack() {
    if (m_stamps.empty()) {
        return std::nullopt;
    }
    const size_t first = m_stamps.size() - 1 - static_cast<size_t>(Current().unit);
    const int64_t start = m_stamps[first];
    m_stamps.resize(first);
    m_modified = true;
    return start;
}

TapDraft::Spot TapDraft::Current() const {
    return m_stamps.empty() ? Spot{} : spotOf(m_stamps.size() - 1);
}

std::vector<LrcRow> TapDraft::Rows() const {
    std::vector<LrcRow> rows;
    size_t next = 0;
    for (const TapLine& line : m_lines) {
        if (next >= m_stamps.size()) {
            break;
        }
        LrcRow row{{}, {lrcTimeTag(m_stamps[next])}};
        if (m_mode == Mode::Lines) {
            row.words = line.Text();
            ++next;
        } else {
            for (const std::string& unit : line.units) {
                if (next < m_stamps.size()) {
                    row.words += wordTag(m_stamps[next++]);
                }
                row.words += unit;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

size_t TapDraft::slotCount() const {
    if (m_mode == Mode::Lines) {
        return m_lines.size();
    }
    size_t count = 0;
    for (const TapLine& line : m_lines) {
        count += line.units.size();
    }
    return count;
}

TapDraft::Spot TapDraft::spotOf(size_t stamp) const {
    if (m_mode == Mode::Lines) {
        return {static_cast<int>(stamp), 0};
    }
    for (size_t line = 0; line < m_lines.size(); ++line) {
        const size_t units = m_lines[line].units.size();
        if (stamp < units) {
            return {static_cast<int>(line), static_cast<int>(stamp)};
        }
        stamp -= units;
    }
    return {};
}
