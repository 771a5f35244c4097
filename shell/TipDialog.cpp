#include "shell/TipDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextEdit>
#include <QVBoxLayout>

#include "shell/Settings.h"

namespace {

QColor randomColour() {
    QRandomGenerator* random = QRandomGenerator::global();
    return {static_cast<int>(random->generate() % 255), static_cast<int>(random->generate() % 128),
            static_cast<int>(random->generate() % 255)};
}

}  // namespace

const QStringList& CTipDialog::Tips() {
    static const QStringList tips = {
        QStringLiteral("您知道吗?\n使用Vocalia练习唱歌,\n不仅可以为您的生活增添乐趣,"
                       "\n同时还能锻炼您的胆量和肺活量,\n帮您抒发各种情感,活血顺气,让您精力十足."
                       "\n赶快拿起您的麦克风痛快的高歌吧!"),
        QStringLiteral(
            "您知道吗?\n通过双击分类列表的名称,"
            "\n您可以自己设置您喜爱的分类名。\n点击状态栏上的播放时间,\n可以调整歌词的同步。"),
        QStringLiteral("您知道吗?\n当您不明白某个按钮功能的时候,\n将鼠标放上去稍等片刻,"
                       "\n这样就会有详细的提示出现啦。"),
        QStringLiteral("您知道吗?\n在窗口中点击鼠标的右键,\n会弹出一个十分便捷的小菜单,"
                       "\n您会发现很多有意思功能。"),
        QStringLiteral("您知道吗?\n录音的时候尽量不要打开演唱的功能,\n因为这样可能会影响录音的品质,"
                       "\n有些很早的声卡甚至会不能录音。"),
        QStringLiteral(
            "您知道吗?\nMP3音乐的伴奏和原唱是混合在一起的。\nMP3消原音是利用左右声道反相叠加的原理,"
            "\n这么做并不能完全消除人原唱的声音,\n有时候甚至会不能消音。\n你如果需要高品质的伴奏,"
            "\n还是用VCD这样的左右声道分开的音频文件"),
        QStringLiteral(
            "您知道吗?\n用本软件播放MP3歌曲时,\n本软件会自动从库中查找到匹配的歌词,"
            "\n这种歌词的文件是LRC格式的,\n您若有自己的LRC歌词,\n可以使用软件的添加歌词入库功能。"),
    };
    return tips;
}

CTipDialog::CTipDialog(QWidget* parent)
    : QDialog(parent),
      m_text(new QTextEdit(this)),
      m_showAtStart(new QCheckBox(QStringLiteral("启动时显示每日一贴"), this)),
      m_tip(static_cast<int>(QRandomGenerator::global()->bounded(Tips().size()))) {
    setWindowTitle(QStringLiteral("每日一贴"));
    m_text->setReadOnly(true);
    m_text->setStyleSheet(QStringLiteral("background: white;"));
    m_showAtStart->setChecked(readSetting(ConfigKey::EverydayTip) == 1);
    connect(m_showAtStart, &QCheckBox::clicked, this,
            [](bool ticked) { writeSetting(ConfigKey::EverydayTip, ticked ? 1 : 0); });

    auto* next = new QPushButton(QStringLiteral("下一贴"), this);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    connect(next, &QPushButton::clicked, this, &CTipDialog::ShowNextTip);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_showAtStart);
    buttons->addStretch();
    buttons->addWidget(next);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    resize(380, 260);
    showTip(QColor(128, 0, 128));
}

void CTipDialog::ShowNextTip() {
    m_tip = (m_tip + 1) % static_cast<int>(Tips().size());
    showTip(randomColour());
}

void CTipDialog::showTip(const QColor& colour) {
    m_text->setTextColor(colour);
    m_text->setPlainText(Tips().at(m_tip));
    m_text->selectAll();
    m_text->setTextColor(colour);
    m_text->moveCursor(QTextCursor::Start);
}
