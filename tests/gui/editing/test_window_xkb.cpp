// The window's per-field keyboard layouts against a real X server: entering a field
// locks the XKB group of its layout, and "update layout" captures the active group.
#include "gui/desktop/xkb_keyboard_layouts.h"
#include "support/window_fixture.h"

#include <QPushButton>

#include "support/xvfb_server.h" // X11's macros come after every Qt header

using namespace lexanta;

class TestWindowXkb : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        LEXANTA_START_XVFB(xvfb_.startWithTestGroups());
        layouts_ = std::make_unique<XkbKeyboardLayouts>(xvfb_.display());
        QVERIFY(layouts_->isOpen());
        test::WindowOptions options;
        options.layouts = layouts_.get();
        window_ = std::make_unique<test::Window>(options);
        QVERIFY(QApplication::activeWindow() == window_->form.get());
    }

    void cleanupTestCase() {
        window_.reset();
        layouts_.reset();
        xvfb_.stop();
    }

    void enteringAFieldLocksItsGroup() {
        MainWindow& form = *window_->form;
        test::Window& w = *window_;
        w.setLayoutNames({"00000409", "00000419", "00000409"});
        form.autoSwitch()->setChecked(true);
        w.box(0)->setFocus();
        xvfb_.lockGroup(0);
        window_->clickBox(1);
        QCOMPARE(QApplication::focusWidget(), w.box(1));
        QCOMPARE(xvfb_.group(), 1); // Russian
        window_->clickBox(0);
        QCOMPARE(xvfb_.group(), 0); // United States
        // switched off: entering a field leaves the group alone
        form.autoSwitch()->setChecked(false);
        xvfb_.lockGroup(2);
        window_->clickBox(1);
        QCOMPARE(xvfb_.group(), 2);
    }

    void captureTheActiveLayout() {
        MainWindow& form = *window_->form;
        test::Window& w = *window_;
        form.autoSwitch()->setChecked(true);
        w.doc().setLayoutName(1, "00000409");
        xvfb_.lockGroup(2); // German, switched by the user with the system's switcher
        QVERIFY(w.control<QPushButton>("Button3")->isEnabled());
        QTest::mouseClick(w.control<QPushButton>("Button3"), Qt::LeftButton);
        QCOMPARE(w.doc().header().layoutNames[1], std::string("00000407"));
        QCOMPARE(w.doc().header().layoutNames[0], std::string("00000409"));
    }

private:
    test::XvfbServer xvfb_;
    std::unique_ptr<XkbKeyboardLayouts> layouts_;
    std::unique_ptr<test::Window> window_;
};

QTEST_MAIN(TestWindowXkb)
#include "test_window_xkb.moc"
