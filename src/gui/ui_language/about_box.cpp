#include "gui/ui_language/about_box.h"

#include "app_version.h"
#include "gui/widgets/display_colors.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace lexanta {

namespace {

QFont sansSerif(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OKRightDlg"));
    setWindowTitle(QStringLiteral("About Lexanta Editor"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(sansSerif(11));
    setFixedSize(262, 103);
    setModal(true);

    panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(0, 0, 265, 97);

    productName =
        new ShadowLabel(QStringLiteral("Lexanta Editor ") + QLatin1String(kVersion), panel);
    productName->setObjectName(QStringLiteral("RxLabel1"));
    productName->setGeometry(16, 16, 214, 24);
    productName->setFont(sansSerif(19, true));
    productName->setTextColor(Qt::red);
    productName->setShadowColor(QColor(0x00, 0x80, 0x80)); // teal
    productName->setShadowOffset(QPoint(-1, -1));

    copyright = new QLabel(QStringLiteral("© 2026 the Lexanta Editor project"), panel);
    copyright->setObjectName(QStringLiteral("Label1"));
    copyright->setGeometry(16, 40, 235, 16);
    copyright->setFont(sansSerif(13));

    okButton = new QPushButton(QStringLiteral("OK"), panel);
    okButton->setObjectName(QStringLiteral("OKBtn"));
    okButton->setGeometry(94, 64, 75, 25);
    okButton->setDefault(true);
    okButton->setAutoDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutBox::showEvent(QShowEvent* event) {
    // Black where it can be read: the colour scheme may have changed since the last time.
    QPalette text = copyright->palette();
    text.setColor(QPalette::WindowText, readableOn(Qt::black, palette().color(QPalette::Window)));
    copyright->setPalette(text);
    // Centred on the screen, not over the main window.
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace lexanta
