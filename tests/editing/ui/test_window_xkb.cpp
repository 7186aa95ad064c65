// The window's per-field keyboard layouts against a real X server: entering a field
// locks the XKB group of its layout, and "update layout" captures the active group.
#include "app/tform1.h"
#include "editing/ui/combo_edit.h"
#include "platform/x11/xkb_keyboard_layouts.h"
#include "support/scripted_dialogs.h"
#include "support/xvfb_server.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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

        FormServices s;
        s.dialogs = &dialogs_;
        s.keyboardLayouts = layouts_.get();
        s.restoreSettings = false;
        s.programFolder = dir_.path();
        s.configFolder = dir_.path();
        form_ = std::make_unique<TForm1>(s);
        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }

    void cleanupTestCase() {
        form_.reset();
        layouts_.reset();
        if (probe_)
            XCloseDisplay(probe_);
        xvfb_.stop();
    }

    void enteringAFieldLocksItsGroup() {
        form_->FieldLayoutNames() = {"00000409", "00000419", "00000409"};
        form_->CheckBox1->setChecked(true);
        form_->ComboEdit1->setFocus();
        lockGroup(0);
        QTest::mouseClick(form_->ComboEdit2, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), form_->ComboEdit2);
        QCOMPARE(serverGroup(), 1); // Russian
        QTest::mouseClick(form_->ComboEdit1, Qt::LeftButton);
        QCOMPARE(serverGroup(), 0); // United States
    }

    void switchedOffChangesNothing() {
        form_->FieldLayoutNames() = {"00000409", "00000419", "00000409"};
        form_->CheckBox1->setChecked(false);
        form_->ComboEdit1->setFocus();
        lockGroup(2);
        QTest::mouseClick(form_->ComboEdit2, Qt::LeftButton);
        QCOMPARE(serverGroup(), 2);
    }

    void captureTheActiveLayout() {
        form_->CheckBox1->setChecked(true);
        form_->FieldLayoutNames()[1] = "00000409";
        lockGroup(2); // German, switched by the user with the system's switcher
        // (X11 defines Button3 as a macro, so the button is found by its name)
        auto* update = form_->findChild<QPushButton*>(QStringLiteral("Button3"));
        QVERIFY(update && update->isEnabled());
        QTest::mouseClick(update, Qt::LeftButton);
        QCOMPARE(form_->FieldLayoutNames()[1], std::string("00000407"));
        QCOMPARE(form_->FieldLayoutNames()[0], std::string("00000409"));
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
    QTemporaryDir dir_;
    test::ScriptedDialogs dialogs_;
    std::unique_ptr<TForm1> form_;
};

QTEST_MAIN(TestWindowXkb)
#include "test_window_xkb.moc"
