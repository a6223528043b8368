// Hundreds of random picks, edits and presses. After each one, every code
// box must hold its placeholder or exactly what calccodes gives for its
// side's last press, as a small model of the window's rules says.
#include <QRandomGenerator>

#include "calc/codes.h"
#include "form1_fixture.h"

namespace {

const QStringList steps = {"5kHz", "6.25kHz", "10kHz", "12.5kHz", "25kHz"};
const QStringList frequencies = {"430000", "145000", "430006.25", "438500", "430002", "29000", "500000", "",
                                 " 430 000", "4.3E5", "145012.5", "145025", "abc", "&H68FB0", "30005", "499995"};

struct Side {
    calc::Direction direction;
    const char* button;
    const char* entry;
};
const Side transmit = {calc::Direction::transmit, "Command2", "Text18"};
const Side receive = {calc::Direction::receive, "Command1", "Text17"};

// What one side's three boxes should show.
void press(QStringList& boxes, const QString& step, const QString& freq, calc::Direction direction) {
    const auto result = calc::calccodes(direction, step.toStdString(), freq.toStdString());
    if (result.outcome == calc::Outcome::codes)
        boxes = {QString::fromStdString(result.codes.acode), QString::fromStdString(result.codes.bcode),
                 QString::fromStdString(result.codes.rcode)};
    else if (result.outcome == calc::Outcome::offstep)
        boxes = {"****", "******", "******"};
}

TEST_F(Form1Test, RandomSequencesFollowTheRules) {
    QRandomGenerator random(20261207);  // fixed, so a failure can be replayed
    QString step;                       // empty until the first pick
    int index = 0;                      // the item the selector stands on
    QStringList tx = {"****", "******", "******"}, rx = tx;
    QString txfreq = "430000", rxfreq = "430000";

    for (int action = 0; action < 400; ++action) {
        SCOPED_TRACE("action " + std::to_string(action));
        switch (random.bounded(6)) {
            case 0:  // a pick from the open list
                index = static_cast<int>(random.bounded(5));
                pick(index);
                step = steps[index];
                tx = rx = {"****", "******", "******"};
                break;
            case 1: {  // an arrow key on the closed selector
                const bool down = random.bounded(2) == 1;
                combo()->setFocus();
                QTest::keyClick(combo(), down ? Qt::Key_Down : Qt::Key_Up);
                const int next = index + (down ? 1 : -1);
                if (next >= 0 && next < 5) {
                    index = next;
                    step = steps[index];
                    tx = rx = {"****", "******", "******"};
                }
                break;
            }
            case 2: {  // typing into the selector's edit field, which picks nothing
                QLineEdit* field = combo()->lineEdit();
                field->selectAll();
                QTest::keyClicks(field, steps[static_cast<int>(random.bounded(5))].left(random.bounded(8)));
                if (random.bounded(2)) QTest::keyClick(field, Qt::Key_Return);
                break;
            }
            case 3: {  // editing a frequency, which changes no code box
                const Side& side = random.bounded(2) ? transmit : receive;
                const QString freq = frequencies[static_cast<int>(random.bounded(frequencies.size()))];
                type(side.entry, freq);
                (side.direction == calc::Direction::transmit ? txfreq : rxfreq) = freq;
                break;
            }
            default: {  // a press of one side's button
                const Side& side = random.bounded(2) ? transmit : receive;
                click(side.button);
                if (side.direction == calc::Direction::transmit)
                    press(tx, step, txfreq, side.direction);
                else
                    press(rx, step, rxfreq, side.direction);
                break;
            }
        }
        ASSERT_EQ(codes(), tx + rx);
    }
}

}  // namespace
