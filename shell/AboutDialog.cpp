#include "shell/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "resources/PlayerStrings.h"
#include "resources/StringTable.h"
#include "shell/FrameIcons.h"
#include "shell/ShellStarts.h"

namespace {
constexpr const char* kMailAddress = "vocalia@example.org";

QLabel* link(const QString& target, const QString& shown, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(target, shown), parent);
    label->setOpenExternalLinks(true);
    return label;
}
}  // namespace

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于 Vocalia"));
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(FrameIcons::appIcon().pixmap(48, 48));
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(QString::fromUtf8(loadString(kStrTitle)), this), 0,
                      Qt::AlignHCenter);
    const QString mail = QString::fromUtf8(kMailAddress);
    layout->addWidget(link(QStringLiteral("mailto:") + mail, mail, this), 0, Qt::AlignHCenter);
    const QString home = QString::fromUtf8(ShellStarts::kHomePageUrl);
    layout->addWidget(link(home, home, this), 0, Qt::AlignHCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
