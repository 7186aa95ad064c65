#pragma once

// The vocabulary description on the Preferences page: the two language boxes, title, author
// and date. The boxes show the document's bytes in the system code page; what the user types
// becomes the document's description, one undo step per box and visit.

#include <QObject>

#include <array>
#include <functional>

class QComboBox;
class QLineEdit;

namespace lexanta {

class Document;

struct DescriptionControls {
    QComboBox* questionsLanguage = nullptr; // ComboBox1
    QComboBox* answersLanguage = nullptr;   // ComboBox2
    QLineEdit* title = nullptr;             // Edit2
    QLineEdit* author = nullptr;            // Edit3
    QLineEdit* date = nullptr;              // Edit4
};

class DescriptionEditor : public QObject {
    Q_OBJECT

public:
    DescriptionEditor(Document& document, const DescriptionControls& controls,
                      std::function<void(const QString&)> showStatus, QObject* parent = nullptr);

    // Shows the document's description again, as when the system code page was changed.
    void showDocument();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void edited(int field);

    Document& document_;
    std::array<QLineEdit*, 5> edits_{};
    std::function<void(const QString&)> showStatus_;
    bool showing_ = false;
    quint64 visit_ = 1;
};

} // namespace lexanta
