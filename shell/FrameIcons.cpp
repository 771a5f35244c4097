#include "shell/FrameIcons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>
#include <map>

#include "resources/CommandIds.h"
#include "resources/PlayerStrings.h"
#include "resources/StringTable.h"

namespace {

constexpr int kSize = 32;
const QColor kInk(40, 120, 200);

using Drawing = std::function<void(QPainter&)>;

QIcon drawn(const Drawing& draw) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 2.5));
    painter.setBrush(kInk);
    draw(painter);
    return QIcon(pixmap);
}

void playShape(QPainter& p) {
    p.drawPolygon(QPolygonF({{9, 6}, {26, 16}, {9, 26}}));
}
void nextShape(QPainter& p) {
    p.drawPolygon(QPolygonF({{7, 7}, {20, 16}, {7, 25}}));
    p.drawRect(22, 7, 3, 18);
}
void previousShape(QPainter& p) {
    p.drawPolygon(QPolygonF({{25, 7}, {12, 16}, {25, 25}}));
    p.drawRect(7, 7, 3, 18);
}
void stopShape(QPainter& p) {
    p.drawRect(8, 8, 16, 16);
}
void pauseShape(QPainter& p) {
    p.drawRect(8, 7, 5, 18);
    p.drawRect(19, 7, 5, 18);
}
void micShape(QPainter& p) {
    p.drawRoundedRect(12, 4, 8, 15, 4, 4);
    p.setBrush(Qt::NoBrush);
    p.drawArc(8, 8, 16, 16, 180 * 16, 180 * 16);
    p.drawLine(16, 24, 16, 28);
    p.drawLine(11, 28, 21, 28);
}
void gearShape(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 4));
    p.drawEllipse(9, 9, 14, 14);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(16, 16);
        p.rotate(45.0 * i);
        p.drawLine(0, 8, 0, 13);
        p.restore();
    }
}
void recordShape(QPainter& p) {
    p.setBrush(QColor(210, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(7, 7, 18, 18);
}
void replayShape(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.drawArc(7, 7, 18, 18, 60 * 16, 280 * 16);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({{19, 3}, {26, 8}, {18, 12}}));
}
void mixShape(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    for (int x : {9, 16, 23}) {
        p.drawLine(x, 5, x, 27);
    }
    p.setBrush(kInk);
    p.drawRect(6, 17, 6, 4);
    p.drawRect(13, 9, 6, 4);
    p.drawRect(20, 20, 6, 4);
}
void helpShape(QPainter& p) {
    QFont font;
    font.setBold(true);
    font.setPixelSize(24);
    p.setFont(font);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("?"));
}
void homeShape(QPainter& p) {
    p.drawPolygon(QPolygonF({{16, 4}, {28, 15}, {4, 15}}));
    p.drawRect(8, 15, 16, 12);
}
void noteShape(QPainter& p) {
    p.drawEllipse(6, 20, 8, 7);
    p.drawEllipse(18, 17, 8, 7);
    p.drawLine(13, 23, 13, 6);
    p.drawLine(25, 20, 25, 4);
    p.drawLine(13, 6, 25, 4);
}

const std::map<int, Drawing>& drawings() {
    static const std::map<int, Drawing> table = {
        {kCmdPlay, playShape},          {kCmdStop, stopShape},
        {kCmdPause, pauseShape},        {kCmdSing, micShape},
        {kCmdOptionsButton, gearShape}, {kCmdOptions, gearShape},
        {kCmdRecord, recordShape},      {kCmdReplay, replayShape},
        {kCmdSynthesize, mixShape},     {kCmdHelpButton, helpShape},
        {kCmdHelp, helpShape},          {kCmdHomePageButton, homeShape},
        {kCmdHomePage, homeShape},      {kCmdAddMusicFiles, noteShape},
        {kCmdNextSong, nextShape},      {kCmdPreviousSong, previousShape},
    };
    return table;
}

}  // namespace

namespace FrameIcons {

QIcon appIcon() {
    return drawn(noteShape);
}

QIcon commandIcon(int commandId) {
    const auto it = drawings().find(commandId);
    return it != drawings().end() ? drawn(it->second) : QIcon();
}

QPixmap splashPicture() {
    QPixmap pixmap(420, 240);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 240);
    sky.setColorAt(0, QColor(20, 20, 60));
    sky.setColorAt(1, QColor(90, 30, 110));
    p.fillRect(pixmap.rect(), sky);
    p.setPen(QPen(QColor(120, 255, 160), 3));
    p.setBrush(QColor(120, 255, 160));
    p.translate(40, 70);
    p.scale(3, 3);
    noteShape(p);
    p.resetTransform();
    QFont title;
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(150, 60, 260, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(loadString(kStrCaption)));
    QFont line;
    line.setPixelSize(16);
    p.setFont(line);
    p.setPen(QColor(200, 255, 210));
    p.drawText(QRect(150, 120, 260, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(loadString(kStrTitle)));
    return pixmap;
}

}  // namespace FrameIcons
