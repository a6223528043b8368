// A shown Form1 and helpers that act on it as a person would: clicks and
// key presses through Qt's test helpers.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <ostream>

#include "form1.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<Form1>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    template <class T>
    T* get(const char* name) const {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        if (!widget) ADD_FAILURE() << "no " << name;
        return widget;
    }
    QComboBox* combo() const { return get<QComboBox>("Combo1"); }
    QString text(const char* name) const { return get<QLineEdit>(name)->text(); }

    void click(const char* button) { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }

    // Replaces a frequency entry's text by typing, as a user does.
    void type(const char* name, const QString& value) {
        QLineEdit* edit = get<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, value);
    }

    // Picks a step from Combo1's open list with the keyboard.
    void pick(int index) {
        combo()->showPopup();
        QAbstractItemView* list = combo()->view();
        list->setCurrentIndex(list->model()->index(index, 0));
        QTest::keyClick(list, Qt::Key_Return);
    }

    // The six code boxes: transmit A, B, R, then receive A, B, R.
    QStringList codes() const {
        QStringList all;
        for (const char* name : {"Text1", "Text2", "Text3", "Text9", "Text10", "Text11"}) all << text(name);
        return all;
    }

    std::unique_ptr<Form1> form;
};
