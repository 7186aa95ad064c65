// The window's per-field keyboard layouts against a real X server: entering a field
// locks the XKB group of its layout, and "update layout" captures the active group.
#include "platform/x11/xkb_keyboard_layouts.h"
#include "support/window_fixture.h"
#include "support/xvfb_server.h"

#include <QPushButton>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

using namespace lexanta;

class TestWindowXkb : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (const QString missing = test::XvfbServer::missingTools(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QString error = xvfb_.start();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(xvfb_.setxkbmap({QStringLiteral("-layout"), QStringLiteral("us,ru,de")}));
        probe_ = XOpenDisplay(xvfb_.display().toLatin1().constData());
        QVERIFY(probe_);
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
        if (probe_)
            XCloseDisplay(probe_);
        xvfb_.stop();
    }

    void enteringAFieldLocksItsGroup() {
        TForm1& form = *window_->form;
        form.FieldLayoutNames() = {"00000409", "00000419", "00000409"};
        form.CheckBox1->setChecked(true);
        form.ComboEdit1->setFocus();
        lockGroup(0);
        window_->clickBox(1);
        QCOMPARE(QApplication::focusWidget(), form.ComboEdit2);
        QCOMPARE(serverGroup(), 1); // Russian
        window_->clickBox(0);
        QCOMPARE(serverGroup(), 0); // United States
        // switched off: entering a field leaves the group alone
        form.CheckBox1->setChecked(false);
        lockGroup(2);
        window_->clickBox(1);
        QCOMPARE(serverGroup(), 2);
    }

    void captureTheActiveLayout() {
        TForm1& form = *window_->form;
        form.CheckBox1->setChecked(true);
        form.FieldLayoutNames()[1] = "00000409";
        lockGroup(2); // German, switched by the user with the system's switcher
        // (X11 defines Button3 as a macro, so the button is found by its name)
        auto* update = form.findChild<QPushButton*>(QStringLiteral("Button3"));
        QVERIFY(update && update->isEnabled());
        QTest::mouseClick(update, Qt::LeftButton);
        QCOMPARE(form.FieldLayoutNames()[1], std::string("00000407"));
        QCOMPARE(form.FieldLayoutNames()[0], std::string("00000409"));
    }

private:
    int serverGroup() const {
        XkbStateRec state{};
        return XkbGetState(probe_, XkbUseCoreKbd, &state) == Success ? state.group : -1;
    }
    void lockGroup(int group) const {
        XkbLockGroup(probe_, XkbUseCoreKbd, static_cast<unsigned int>(group));
        XSync(probe_, False);
    }

    test::XvfbServer xvfb_;
    Display* probe_ = nullptr;
    std::unique_ptr<XkbKeyboardLayouts> layouts_;
    std::unique_ptr<test::Window> window_;
};

QTEST_MAIN(TestWindowXkb)
#include "test_window_xkb.moc"
