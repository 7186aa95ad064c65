#include "gui/widgets/field_font_dialog.h"

#include "gui/widgets/display_colors.h"
#include "gui/widgets/field_fonts.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

namespace lexanta {

namespace {

constexpr int kFaceNameLimit = 31;

// Item data of the "Custom..." entry: outside the range of colour values.
constexpr qint64 kCustomEntry = qint64(1) << 40;

QIcon swatch(const QColor& color) {
    QPixmap pixmap(18, 12);
    pixmap.fill(color);
    QPainter p(&pixmap);
    p.setPen(Qt::darkGray);
    p.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

// Each face once, as the font database names it: a face name that differs only in case
// from one already offered is the same face (the completer would pick either).
QStringList faceChoices(const QString& current) {
    QStringList faces;
    for (const QString& family : QFontDatabase::families())
        if (!family.startsWith(QLatin1Char('.')) && !QFontDatabase::isPrivateFamily(family))
            faces << family;
    // Windows faces that stand-ins here can show, named as Windows names them.
    for (const QString& substituted : substitutedFaces())
        faces << substituted;
    if (!current.isEmpty())
        faces << current;
    faces.removeIf([](const QString& face) { return face.size() > kFaceNameLimit; });
    QSet<QString> seen;
    faces.removeIf([&seen](const QString& face) {
        const QString folded = face.toCaseFolded();
        if (seen.contains(folded))
            return true;
        seen.insert(folded);
        return false;
    });
    std::sort(faces.begin(), faces.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return faces;
}

} // namespace

FieldFontDialog::FieldFontDialog(const FieldFont& font, QWidget* parent)
    : QDialog(parent), initial_(font) {
    setWindowTitle(tr("Font"));
    setObjectName(QStringLiteral("FieldFontDialog"));

    face_ = new QComboBox(this);
    face_->setObjectName(QStringLiteral("face"));
    face_->setEditable(true);
    face_->setInsertPolicy(QComboBox::NoInsert);
    face_->addItems(faceChoices(faceName(font)));
    // A vocabulary file carries 31 characters of the face name back; a longer one would
    // change at the next load.
    face_->lineEdit()->setMaxLength(kFaceNameLimit);
    face_->setCurrentText(faceName(font));
    face_->setMinimumWidth(200);

    style_ = new QComboBox(this);
    style_->setObjectName(QStringLiteral("style"));
    style_->addItems({tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
    style_->setCurrentIndex((font.bold ? 2 : 0) + (font.italic ? 1 : 0));

    size_ = new QComboBox(this);
    size_->setObjectName(QStringLiteral("size"));
    size_->setEditable(true);
    size_->setInsertPolicy(QComboBox::NoInsert);
    for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        size_->addItem(QString::number(s));
    size_->lineEdit()->setValidator(new QIntValidator(1, 999, size_));
    size_->setCurrentText(QString::number(font.pointSize));

    underline_ = new QCheckBox(tr("&Underline"), this);
    underline_->setObjectName(QStringLiteral("underline"));
    underline_->setChecked(font.underline);
    strikeOut_ = new QCheckBox(tr("Stri&keout"), this);
    strikeOut_->setObjectName(QStringLiteral("strikeOut"));
    strikeOut_->setChecked(font.strikeOut);

    color_ = new QComboBox(this);
    color_->setObjectName(QStringLiteral("color"));
    for (const NamedColor& c : namedColors())
        addColor(c.value, QString::fromLatin1(c.name));
    color_->addItem(tr("Custom..."), QVariant::fromValue(kCustomEntry));
    selectColor(font.color);

    script_ = new QComboBox(this);
    script_->setObjectName(QStringLiteral("script"));
    for (const NamedValue& s : fontScripts())
        script_->addItem(QString::fromLatin1(s.name), s.value);
    if (script_->findData(font.charset) < 0)
        script_->addItem(scriptName(font.charset), font.charset);
    script_->setCurrentIndex(script_->findData(font.charset));

    sample_ = new QLabel(this);
    sample_->setObjectName(QStringLiteral("sample"));
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setMinimumSize(220, 60);
    sample_->setAutoFillBackground(true);
    QPalette samplePalette = sample_->palette();
    samplePalette.setColor(QPalette::Window, samplePalette.color(QPalette::Base));
    sample_->setPalette(samplePalette);

    warning_ = new QLabel(this);
    warning_->setWordWrap(true);
    QPalette warningPalette = warning_->palette();
    warningPalette.setColor(
        QPalette::WindowText,
        readableOn(QColor(0xb0, 0x00, 0x20), warningPalette.color(QPalette::Window)));
    warning_->setPalette(warningPalette);
    warning_->hide();

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    const auto labelFor = [](const QString& text, QWidget* buddy, QWidget* owner) {
        auto* label = new QLabel(text, owner);
        label->setBuddy(buddy);
        return label;
    };
    grid->addWidget(labelFor(tr("&Font:"), face_, this), 0, 0);
    grid->addWidget(labelFor(tr("Font st&yle:"), style_, this), 0, 1);
    grid->addWidget(labelFor(tr("&Size:"), size_, this), 0, 2);
    grid->addWidget(face_, 1, 0);
    grid->addWidget(style_, 1, 1);
    grid->addWidget(size_, 1, 2);

    auto* effects = new QGroupBox(tr("Effects"), this);
    auto* effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(strikeOut_);
    effectsLayout->addWidget(underline_);
    effectsLayout->addWidget(labelFor(tr("&Color:"), color_, effects));
    effectsLayout->addWidget(color_);
    effectsLayout->addStretch();

    auto* sampleGroup = new QGroupBox(tr("Sample"), this);
    auto* sampleLayout = new QVBoxLayout(sampleGroup);
    sampleLayout->addWidget(sample_);
    sampleLayout->addWidget(labelFor(tr("Sc&ript:"), script_, sampleGroup));
    sampleLayout->addWidget(script_);

    grid->addWidget(effects, 2, 0);
    grid->addWidget(sampleGroup, 2, 1, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(warning_);
    layout->addWidget(buttons_);

    connect(face_, &QComboBox::currentTextChanged, this, [this] { updateSample(); });
    connect(style_, &QComboBox::currentIndexChanged, this, [this] { updateSample(); });
    connect(size_, &QComboBox::currentTextChanged, this, [this] { updateSample(); });
    connect(underline_, &QCheckBox::toggled, this, [this] { updateSample(); });
    connect(strikeOut_, &QCheckBox::toggled, this, [this] { updateSample(); });
    connect(color_, &QComboBox::activated, this, &FieldFontDialog::colorActivated);
    connect(color_, &QComboBox::currentIndexChanged, this, [this] { updateSample(); });
    connect(script_, &QComboBox::currentIndexChanged, this, [this] { updateSample(); });
    updateSample();
}

void FieldFontDialog::addColor(std::int32_t value, const QString& name) {
    color_->addItem(swatch(toQColor(value, palette())), name, QVariant::fromValue(qint64(value)));
}

void FieldFontDialog::selectColor(std::int32_t value) {
    int index = color_->findData(QVariant::fromValue(qint64(value)));
    if (index < 0) {
        const QColor c = toQColor(value, palette());
        if (customColorIndex_ < 0) {
            customColorIndex_ = color_->count() - 1; // before "Custom..."
            color_->insertItem(customColorIndex_, swatch(c), c.name(),
                               QVariant::fromValue(qint64(value)));
        } else {
            color_->setItemIcon(customColorIndex_, swatch(c));
            color_->setItemText(customColorIndex_, c.name());
            color_->setItemData(customColorIndex_, QVariant::fromValue(qint64(value)));
        }
        index = customColorIndex_;
    }
    color_->setCurrentIndex(index);
}

void FieldFontDialog::colorActivated(int index) {
    const qint64 entry = color_->itemData(index).value<qint64>();
    if (entry != kCustomEntry)
        return;
    const std::int32_t previous = font().color;
    const QColor chosen = QColorDialog::getColor(toQColor(previous, palette()), this, tr("Color"));
    selectColor(chosen.isValid() ? fromQColor(chosen) : previous);
}

FieldFont FieldFontDialog::font() const {
    FieldFont f = initial_;
    const bool faceOk = setFaceName(f, face_->currentText().trimmed());
    (void)faceOk; // reported by updateSample(); the stored face stays as it was
    // In a double-byte code page 31 characters may still be more bytes than the file keeps.
    if (f.face.size() > std::size_t(kFaceNameLimit))
        f.face.resize(kFaceNameLimit);
    bool sizeOk = false;
    const int size = size_->currentText().toInt(&sizeOk);
    if (sizeOk && size > 0)
        f.pointSize = size;
    f.italic = style_->currentIndex() == 1 || style_->currentIndex() == 3;
    f.bold = style_->currentIndex() >= 2;
    f.underline = underline_->isChecked();
    f.strikeOut = strikeOut_->isChecked();
    const qint64 color = color_->currentData().value<qint64>();
    if (color != kCustomEntry)
        f.color = static_cast<std::int32_t>(color);
    f.charset = script_->currentData().toInt();
    return f;
}

void FieldFontDialog::updateSample() {
    FieldFont probe = initial_;
    const bool faceOk = setFaceName(probe, face_->currentText().trimmed()) &&
                        !face_->currentText().trimmed().isEmpty();
    bool sizeOk = false;
    const int size = size_->currentText().toInt(&sizeOk);
    sizeOk = sizeOk && size > 0;
    warning_->setVisible(!faceOk || !sizeOk);
    if (!faceOk)
        warning_->setText(tr("This face name cannot be stored in a vocabulary file; choose "
                             "another face."));
    else if (!sizeOk)
        warning_->setText(tr("The size must be a whole number of points."));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(faceOk && sizeOk);

    const FieldFont f = font();
    sample_->setFont(toQFont(f));
    QPalette p = sample_->palette();
    // As the grid shows the field: on the scheme's base colour.
    p.setColor(QPalette::WindowText, fieldTextColor(f.color, palette()));
    sample_->setPalette(p);
    sample_->setText(scriptSample(f.charset));
}

bool FieldFontDialog::choose(QWidget* parent, FieldFont& font) {
    FieldFontDialog dialog(font, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = dialog.font();
    return true;
}

} // namespace lexanta
