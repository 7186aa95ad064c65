#include "gui/ui_language/about_box.h"

#include "app_version.h"

#include <QFont>
#include <QPainter>
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

ShadowLabel::ShadowLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ShadowLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QRect area = contentsRect();
    const int flags = static_cast<int>(alignment());
    // The shadow lies one pixel off and the text is drawn over it, so the shadow shows
    // only along the edges.
    painter.setPen(shadowColor_);
    painter.drawText(area.translated(shadowOffset_), flags, text());
    painter.setPen(textColor_);
    painter.drawText(area, flags, text());
}

TOKRightDlg::TOKRightDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OKRightDlg"));
    setWindowTitle(QStringLiteral("About Lexanta Editor"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(sansSerif(11));
    setFixedSize(262, 103);
    setModal(true);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 265, 97);

    RxLabel1 = new ShadowLabel(QStringLiteral("Lexanta Editor ") + QLatin1String(kVersion), Panel1);
    RxLabel1->setObjectName(QStringLiteral("RxLabel1"));
    RxLabel1->setGeometry(16, 16, 214, 24);
    RxLabel1->setFont(sansSerif(19, true));
    RxLabel1->setTextColor(Qt::red);
    RxLabel1->setShadowColor(QColor(0x00, 0x80, 0x80)); // teal
    RxLabel1->setShadowOffset(QPoint(-1, -1));

    Label1 = new QLabel(QStringLiteral("© 2026 the Lexanta Editor project"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 40, 235, 16);
    Label1->setFont(sansSerif(13));
    QPalette black = Label1->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(black);

    OKBtn = new QPushButton(QStringLiteral("OK"), Panel1);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(94, 64, 75, 25);
    OKBtn->setDefault(true);
    OKBtn->setAutoDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace lexanta

namespace lexanta {

void TOKRightDlg::showEvent(QShowEvent* event) {
    // Centred on the screen, not over the main window.
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace lexanta
