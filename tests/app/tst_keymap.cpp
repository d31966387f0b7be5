// Declared keys and the entry states, on a small screen of real widgets.
#include "app/EntryStates.h"
#include "app/KeyMap.h"
#include "app/Screens.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace orvane;

namespace {
// Two boxes and a button, with every kind of binding; what ran is written to a log.
struct KeyScreen {
    QWidget screen;
    QLineEdit* first = new QLineEdit(&screen);
    QLineEdit* second = new QLineEdit(&screen);
    QPushButton* button = new QPushButton("Go", &screen);
    QStringList log;

    KeyScreen() {
        screen.setObjectName("screen");
        first->setObjectName("first");
        second->setObjectName("second");
        button->setObjectName("button");
        (new KeyMap(&screen))
            ->screenKey(Qt::Key_F5, [this] { log << "F5"; })
            .screenKey(Qt::Key_F9, [this] { log << "F9", UnloadScreen(&screen); })
            .screenKey(
                Qt::Key_F2, [this] { log << "F2"; }, KeyMap::Held::Nothing)
            .enterChain({first, second, button})
            .controlKey(second, Qt::Key_F1, [this] { log << "look-up"; })
            .keyDown(second, [this](int key) { log << "down " + QKeySequence(key).toString(); });
        screen.show();
    }
};
} // namespace

class tst_keymap : public QObject {
    Q_OBJECT
  private slots:
    void dispatch_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("focusAfter");
        QTest::addColumn<QString>("secondText");
        const int shift = Qt::ShiftModifier, keypad = Qt::KeypadModifier;
        struct Row {
            const char *name, *focus;
            int key, modifiers;
            const char *log, *focusAfter, *secondText;
        };
        // clang-format off
        const Row rows[] = {
            {"screen key in a box", "first", Qt::Key_F5, 0, "F5", "first", ""},
            {"screen key on a button", "button", Qt::Key_F5, 0, "F5", "button", ""},
            {"screen key with Shift", "first", Qt::Key_F5, shift, "F5", "first", ""},
            {"plain-only key with Shift", "first", Qt::Key_F2, shift, "", "first", ""},
            {"plain-only key", "first", Qt::Key_F2, 0, "F2", "first", ""},
            {"Enter moves on", "first", Qt::Key_Return, 0, "", "second", ""},
            {"keypad Enter moves on", "first", Qt::Key_Enter, keypad, "", "second", ""},
            {"end of the chain", "second", Qt::Key_Return, 0, "down Return", "button", ""},
            {"control key in it", "second", Qt::Key_F1, 0, "look-up,down F1", "second", ""},
            {"control key elsewhere", "first", Qt::Key_F1, 0, "", "first", ""},
            {"key-down, then the box", "second", Qt::Key_A, 0, "down A", "second", "a"},
            {"key-down after a screen key", "second", Qt::Key_F5, 0, "F5,down F5", "second", ""},
            {"no key-down once the screen unloaded", "second", Qt::Key_F9, 0, "F9", "second", ""},
        };
        // clang-format on
        for (const Row& r : rows)
            QTest::newRow(r.name) << QString(r.focus) << r.key << r.modifiers << QString(r.log)
                                  << QString(r.focusAfter) << QString(r.secondText);
    }
    void dispatch() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, log);
        QFETCH(QString, focusAfter);
        QFETCH(QString, secondText);
        KeyScreen s;
        QApplication::setActiveWindow(&s.screen);
        auto* target = s.screen.findChild<QWidget*>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(s.log.join(','), log);
        QCOMPARE(s.screen.focusWidget()->objectName(), focusAfter);
        QCOMPARE(s.second->text(), secondText);
    }

    void otherWindowsKeysAreNotTheScreens() {
        KeyScreen s;
        QLineEdit elsewhere;
        elsewhere.show();
        QTest::keyClick(&elsewhere, Qt::Key_F5);
        QTest::keyClick(&elsewhere, Qt::Key_Return);
        QVERIFY(s.log.isEmpty());
    }

    void aMapMadeDuringAnActionDoesNotRepeatTheKey() {
        // A pick-list opened from a key handler installs its own map meanwhile.
        QWidget screen, later;
        auto* box = new QLineEdit(&screen);
        int calls = 0;
        (new KeyMap(&screen))->keyDown(box, [&](int) {
            ++calls;
            new KeyMap(&later);
        });
        screen.show();
        QTest::keyClick(box, Qt::Key_F1);
        QCOMPARE(calls, 1);
    }

    void entryStates_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("reopened");
        QTest::newRow("browse") << int(EntryState::Browse) << "edit,close"
                                << "New - F2" << int(EntryState::NewEntry);
        QTest::newRow("new entry") << int(EntryState::NewEntry) << "field,cancel"
                                   << "Save - F5" << int(EntryState::NewEntry);
        QTest::newRow("edit entry") << int(EntryState::EditEntry) << "field,cancel"
                                    << "Save - F5" << int(EntryState::EditEntry);
    }
    void entryStates() {
        QFETCH(int, state);
        QFETCH(QString, enabled);
        QFETCH(QString, caption);
        QFETCH(int, reopened);
        QWidget screen;
        auto* field = new QLineEdit(&screen);
        QPushButton* buttons[4];
        const char* names[] = {"newSave", "edit", "cancel", "close"};
        QStringList clicked;
        for (int i = 0; i < 4; ++i)
            buttons[i] = new QPushButton(names[i], &screen);
        auto act = [&clicked](const char* name) { return [&clicked, name] { clicked << name; }; };
        auto* keys = new KeyMap(&screen);
        EntryStates entry;
        entry.declare({{buttons[0], act("newSave")},
                       {buttons[1], act("edit")},
                       {buttons[2], act("cancel")},
                       {buttons[3], act("close")},
                       {field}},
                      *keys);
        entry.enter(EntryState(state));
        QStringList on;
        if (field->isEnabled())
            on << "field";
        for (int i = 1; i < 4; ++i)
            if (buttons[i]->isEnabled())
                on << names[i];
        QCOMPARE(on.join(','), enabled);
        QCOMPARE(buttons[0]->text(), caption);
        // Each key runs its button's action whether or not the button is enabled.
        screen.show();
        for (Qt::Key key : {Qt::Key_F2, Qt::Key_F5, Qt::Key_F3, Qt::Key_F8, Qt::Key_F9})
            QTest::keyClick(&screen, key);
        QCOMPARE(clicked.join(','), QString("newSave,newSave,edit,cancel,close"));
        // Opening keeps an edit an edit.
        entry.setEntryOpen(true);
        QCOMPARE(int(entry.state()), reopened);
    }
};

QTEST_MAIN(tst_keymap)
#include "tst_keymap.moc"
