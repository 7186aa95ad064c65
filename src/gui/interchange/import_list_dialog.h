#pragma once

// The import of a list of another program: the file's details (delimiter, encoding, header row,
// sheet, languages), which column feeds each field, each field's character set, a new
// vocabulary or the open one, and a preview of the first rows as they will land in the grid,
// marking characters a field's code page cannot hold.

#include "core/interchange/list_formats.h"
#include "core/interchange/list_mapping.h"

#include <QDialog>

#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace lexanta {

struct ImportListSetup {
    QString fileName;
    ListFormat format = ListFormat::Csv;
    std::array<int, 3> charsets{1, 1, 1}; // the open vocabulary's fields
    // Appending may change a field's set only while its cells are all ASCII.
    std::array<bool, 3> fieldIsAscii{true, true, true};
    bool english = true;
};

class ImportListDialog : public QDialog {
    Q_OBJECT

public:
    ImportListDialog(std::string bytes, const ImportListSetup& setup, QWidget* parent = nullptr);

    // What the accepted dialog chose.
    const ReadList& list() const { return list_; }
    MappingChoices choices() const;
    bool append() const;
    // Why the file cannot be read with the details chosen; empty when it can.
    const QString& readError() const { return readError_; }

    // Each field's set from the text (the fields appending may not change keep theirs).
    void pickCharsetsFromText();

private:
    QString text(const char* english, const char* russian) const;
    void buildControls();
    void reread();
    void remap();
    void fillColumnBoxes();
    ListReadOptions readOptions() const;
    // An Anki package rather than Anki's notes as text.
    bool ankiPackage() const;

    std::string bytes_;
    ImportListSetup setup_;
    ReadList list_;
    QString readError_;
    bool firstRead_ = true;
    bool filling_ = false;

    QComboBox *delimiter_ = nullptr, *encoding_ = nullptr, *rowSeparator_ = nullptr;
    QComboBox *sheet_ = nullptr, *questionLanguage_ = nullptr, *answerLanguage_ = nullptr;
    QCheckBox* header_ = nullptr;
    std::array<QComboBox*, 3> columns_{};
    std::array<QComboBox*, 3> charsets_{};
    QPushButton* pickCharsets_ = nullptr;
    QRadioButton *newVocabulary_ = nullptr, *appendTo_ = nullptr;
    QTableWidget* preview_ = nullptr;
    QLabel *status_ = nullptr, *problems_ = nullptr;
    QCheckBox* leaveOut_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace lexanta
