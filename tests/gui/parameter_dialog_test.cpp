// The five parameter dialogs driven through their controls, as a user would,
// while the test checks the globals they write and the pause around them.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <functional>
#include <thread>

#include "dialogs/parameter_dialog.h"
#include "model/model_fixture.h"
#include "sim/cycle_gate.h"
#include "sim/eco_node.h"
#include "sim/run_control.h"
#include "world/format.h"

namespace kesmir {

namespace {

using Act = std::function<void(ParameterDialog&)>;

// Opens a dialog the way the main window does and acts on it once it shows.
// A dialog that the action leaves open is cancelled, so a failing check
// cannot leave the test waiting.
void runDialog(ParameterDialogKind kind, QWidget* owner, const Act& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<ParameterDialog*>(modal);
        if (!dialog) {
            if (modal) modal->close();
            return;
        }
        act(*dialog);
        acted = true;
        if (dialog->isVisible()) dialog->reject();
    });
    runParameterDialog(kind, owner);
    QVERIFY(acted);
}

void click(ParameterDialog& dialog, int id, int times = 1) {
    QPushButton* button = dialog.button(id);
    QVERIFY(button);
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(button, Qt::LeftButton);
}

void type(ParameterDialog& dialog, int editId, const QString& text) {
    QLineEdit* edit = dialog.editBox(editId);
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QString shown(ParameterDialog& dialog, int editId) {
    QLineEdit* edit = dialog.editBox(editId);
    return edit ? edit->text() : QStringLiteral("<no edit box>");
}

enum class Closer { ok, cancel, escape };

void close(ParameterDialog& dialog, Closer closer) {
    switch (closer) {
        case Closer::ok:
            click(dialog, kOkId);
            break;
        case Closer::cancel:
            click(dialog, kCancelId);
            break;
        case Closer::escape:
            QTest::keyClick(&dialog, Qt::Key_Escape);
            break;
    }
}

}  // namespace

class ParameterDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        resetParameters();
        startRunControl();  // as while the simulation runs
    }

    void opensWithCurrentValues_data() {
        QTest::addColumn<ParameterDialogKind>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("M") << ParameterDialogKind::metabolic << "Metabolic Levels"
                           << QList<int>{1023, 1024, 1025}
                           << QStringList{"Plant energy {0..7} + ", "Herbivore energy {0..7} + ",
                                          "Carnivore energy {0..7} + "}
                           << QStringList{"  3.10", "  4.20", "  5.30"};
        QTest::newRow("T") << ParameterDialogKind::satiety << "Satiety Levels"
                           << QList<int>{1026, 1027, 1028}
                           << QStringList{"Plant satiety {0..63} +", "Herbivore satiety {0..63} +",
                                          "Carnivore satiety {0..7} +"}
                           << QStringList{" 29.10", " 56.10", "  1.20"};
        QTest::newRow("R") << ParameterDialogKind::reproduction
                           << "Reproduction Energy Requirements" << QList<int>{1030, 1031, 1032}
                           << QStringList{"Plant energy", "Herbivore energy", "Carnivore energy"}
                           << QStringList{" 12.50", " 65.00", " 35.50"};
        QTest::newRow("S") << ParameterDialogKind::senescence << "Senescent Age"
                           << QList<int>{1040, 1041, 1042}
                           << QStringList{"Plant age {0..7} +", "Herbivore age {0..31} +",
                                          "Carnivore age {0..31} +"}
                           << QStringList{"5", "19", "39"};
        QTest::newRow("A") << ParameterDialogKind::maturity << "Age of Sexual Maturity"
                           << QList<int>{1060, 1061, 1062}
                           << QStringList{"Plant maturity {0..7} +", "Herbivore maturity {0..31} +",
                                          "Carnivore maturity {0..31} +"}
                           << QStringList{"1", "1", "3"};
    }

    void opensWithCurrentValues() {
        QFETCH(ParameterDialogKind, kind);
        QFETCH(QString, caption);
        QFETCH(QList<int>, ids);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, texts);
        QWidget owner;
        runDialog(kind, &owner, [&](ParameterDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), caption);
            QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
            const auto allLabels = dialog.findChildren<QLabel*>();
            for (int row = 0; row < 3; ++row) {
                QLineEdit* edit = dialog.editBox(ids[row]);
                QVERIFY(edit);
                QCOMPARE(edit->text(), texts[row]);
                const auto label = std::find_if(allLabels.begin(), allLabels.end(),
                                                [&](QLabel* l) { return l->buddy() == edit; });
                QVERIFY(label != allLabels.end());
                QCOMPARE((*label)->text(), labels[row]);
                QVERIFY(dialog.button(raiseButtonId(row)));
                QCOMPARE(dialog.button(raiseButtonId(row))->text(), QString(">"));
                QCOMPARE(dialog.button(lowerButtonId(row))->text(), QString("<"));
            }
            QCOMPARE(dialog.button(kOkId)->text(), QString("&OK"));
            QCOMPARE(dialog.button(kCancelId)->text(), QString("&Cancel"));
        });
    }

    void pauseHeldWhileOpen_data() {
        QTest::addColumn<Closer>("closer");
        QTest::newRow("OK") << Closer::ok;
        QTest::newRow("Cancel") << Closer::cancel;
        QTest::newRow("Escape") << Closer::escape;
    }

    void pauseHeldWhileOpen() {
        QFETCH(Closer, closer);
        bool pausedWhileOpen = false;
        runDialog(ParameterDialogKind::satiety, nullptr, [&](ParameterDialog& dialog) {
            pausedWhileOpen = simulationPaused();
            close(dialog, closer);
            QVERIFY(!dialog.isVisible());
        });
        QVERIFY(pausedWhileOpen);
        QVERIFY(!simulationPaused());
    }

    void satietyCarnivoreRowBelowItsLowerBound() {
        runDialog(ParameterDialogKind::satiety, nullptr, [](ParameterDialog& dialog) {
            click(dialog, raiseButtonId(2));
            QCOMPARE(shown(dialog, 1028), QString("  1.30"));
            QCOMPARE(formatted("%.2f", double(CSoffset)), std::string("1.30"));  // written at once
            click(dialog, lowerButtonId(2));
            QCOMPARE(shown(dialog, 1028), QString("  3.00"));
            QCOMPARE(float(CSoffset), 3.0f);
        });
    }

    void metabolicPlantRowHeldAtItsBounds() {
        PMoffset = 20.0f;
        runDialog(ParameterDialogKind::metabolic, nullptr, [](ParameterDialog& dialog) {
            click(dialog, raiseButtonId(0));
            QCOMPARE(shown(dialog, 1023), QString(" 20.00"));
            QCOMPARE(float(PMoffset), 20.0f);
            PMoffset = 1.0f;
            click(dialog, lowerButtonId(0));
            QCOMPARE(shown(dialog, 1023), QString("  1.00"));
            PMoffset = 1.05f;
            click(dialog, lowerButtonId(0));
            QCOMPARE(shown(dialog, 1023), QString("  1.00"));
            QCOMPARE(float(PMoffset), 1.0f);
        });
    }

    void okStoresTheShownValues() {
        runDialog(ParameterDialogKind::metabolic, nullptr, [](ParameterDialog& dialog) {
            click(dialog, raiseButtonId(0), 10);
            QCOMPARE(shown(dialog, 1023), QString("  4.10"));
            QVERIFY(float(PMoffset) != 4.1f);  // ten single-precision steps drift
            click(dialog, kOkId);
        });
        QCOMPARE(float(PMoffset), 4.1f);
        QCOMPARE(float(HMoffset), 4.2f);
        QCOMPARE(float(CMoffset), 5.3f);
    }

    void senescencePlantRowStaysBetween5And7() {
        runDialog(ParameterDialogKind::senescence, nullptr, [](ParameterDialog& dialog) {
            click(dialog, lowerButtonId(0));
            QCOMPARE(shown(dialog, 1040), QString("5"));
            click(dialog, raiseButtonId(0), 3);
            QCOMPARE(shown(dialog, 1040), QString("7"));
            QCOMPARE(int(PNoffset), 7);
        });
    }

    void maturityRowsStepByOneBetweenTheirBounds_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        QTest::newRow("plant") << 0 << 1 << 7;
        QTest::newRow("herbivore") << 1 << 1 << 30;
        QTest::newRow("carnivore") << 2 << 1 << 40;
    }

    void maturityRowsStepByOneBetweenTheirBounds() {
        QFETCH(int, row);
        QFETCH(int, lower);
        QFETCH(int, upper);
        const int editId = 1060 + row;
        const auto value = [row] {
            const int32_t values[3] = {PAoffset, HAoffset, CAoffset};
            return int(values[row]);
        };
        const int start = value();
        runDialog(ParameterDialogKind::maturity, nullptr, [&](ParameterDialog& dialog) {
            click(dialog, raiseButtonId(row));
            QCOMPARE(shown(dialog, editId), QString::number(start + 1));
            click(dialog, raiseButtonId(row), upper);  // past the upper bound
            QCOMPARE(shown(dialog, editId), QString::number(upper));
            QCOMPARE(value(), upper);
            click(dialog, lowerButtonId(row), upper);  // past the lower bound
            QCOMPARE(shown(dialog, editId), QString::number(lower));
            QCOMPARE(value(), lower);
        });
    }

    void typedValueIgnoresTheArrowBounds() {
        runDialog(ParameterDialogKind::senescence, nullptr, [](ParameterDialog& dialog) {
            type(dialog, 1041, "500");
            click(dialog, kOkId);
        });
        QCOMPARE(int(HNoffset), 500);
        runDialog(ParameterDialogKind::senescence, nullptr, [](ParameterDialog& dialog) {
            QCOMPARE(shown(dialog, 1041), QString("500"));
            click(dialog, lowerButtonId(1));
            QCOMPARE(shown(dialog, 1041), QString("499"));
            click(dialog, raiseButtonId(1));
            QCOMPARE(shown(dialog, 1041), QString("30"));
        });
        QCOMPARE(int(HNoffset), 30);
    }

    // A typed value beyond the parameter's range stores the nearer end of it.
    void typedValueBeyondTheRangeStoresItsEnd() {
        const auto typeRowsAndOk = [](ParameterDialogKind kind, std::array<const char*, 3> texts) {
            runDialog(kind, nullptr, [kind, &texts](ParameterDialog& dialog) {
                for (std::size_t row = 0; row < texts.size(); ++row)
                    type(dialog, parameterDialogEntry(kind).rows[row].editId, texts[row]);
                click(dialog, kOkId);
            });
        };
        typeRowsAndOk(ParameterDialogKind::senescence,
                      {"99999999999", "-1000000000", "-1000000001"});
        QCOMPARE(int(PNoffset), 1000000000);
        QCOMPARE(int(HNoffset), -1000000000);
        QCOMPARE(int(CNoffset), -1000000000);
        typeRowsAndOk(ParameterDialogKind::reproduction, {"1e300", "-1000000.5", "999999.9"});
        QCOMPARE(float(PRenergy), 1e6f);
        QCOMPARE(float(HRenergy), -1e6f);
        QCOMPARE(float(CRenergy), 999999.9f);
        runDialog(ParameterDialogKind::senescence, nullptr, [](ParameterDialog& dialog) {
            QCOMPARE(shown(dialog, 1040), QString("1000000000"));
            click(dialog, raiseButtonId(0));  // the arrows' own bounds hold as before
            QCOMPARE(shown(dialog, 1040), QString("7"));
        });
    }

    void okReadsTheLeadingNumberOfEachRow() {
        runDialog(ParameterDialogKind::metabolic, nullptr, [](ParameterDialog& dialog) {
            type(dialog, 1023, "abc");
            type(dialog, 1024, "12.5abc");
            type(dialog, 1025, "   -7.5");
            QTest::keyClick(dialog.editBox(1025), Qt::Key_Return);  // Enter presses OK
        });
        QCOMPARE(float(PMoffset), 0.0f);
        QCOMPARE(float(HMoffset), 12.5f);
        QCOMPARE(float(CMoffset), -7.5f);
    }

    void cancelKeepsTheStepsAndDropsTheTyping_data() {
        QTest::addColumn<Closer>("closer");
        QTest::newRow("Cancel") << Closer::cancel;
        QTest::newRow("Escape") << Closer::escape;
    }

    void cancelKeepsTheStepsAndDropsTheTyping() {
        QFETCH(Closer, closer);
        runDialog(ParameterDialogKind::reproduction, nullptr, [&](ParameterDialog& dialog) {
            click(dialog, raiseButtonId(0), 3);
            type(dialog, 1031, "99");
            close(dialog, closer);
        });
        QCOMPARE(formatted("%.4f", double(PRenergy)), std::string("12.8000"));
        QCOMPARE(float(HRenergy), 65.0f);
    }

    // A carnivore of age 39 dies of old age in the next cycle unless the
    // senescence offset rises from 39 to 40 first. The simulation thread
    // starts while the dialog is open and reaches its cycle boundary before
    // the offset is raised; the cycle it then runs must see the raise.
    void simulationWaitsAndUsesTheNewValue_data() {
        QTest::addColumn<int>("raises");
        QTest::addColumn<int>("carnivoresLeft");
        QTest::newRow("unchanged") << 0 << 0;
        QTest::newRow("raised") << 1 << 1;
    }

    void simulationWaitsAndUsesTheNewValue() {
        QFETCH(int, raises);
        QFETCH(int, carnivoresLeft);
        testing::ScratchDirectory scratch;  // the cycle appends to the population log
        testing::resetModel();
        startRunControl();
        delay = 0;
        testing::addPlant(10, 10, 5.0f);
        testing::addHerbivore(1000, 1000, 10.0f);
        testing::addCarnivore(2000, 2000, 20.0f, 0, 0, 0, 0, 39);

        std::thread simulation;
        cycleGate.setRunning(true);
        runDialog(ParameterDialogKind::senescence, nullptr, [&](ParameterDialog& dialog) {
            simulation = std::thread([] {
                runCycle();
                cycleGate.setRunning(false);
            });
            {
                CycleHold atBoundary;  // returns once the simulation waits at a boundary
                QCOMPARE(int(kk), 0);
            }
            click(dialog, raiseButtonId(2), raises);
            click(dialog, kOkId);
        });
        QVERIFY(simulation.joinable());
        simulation.join();
        QCOMPARE(int(kk), 1);
        QCOMPARE(int(Cpop), carnivoresLeft);
        QCOMPARE(Ceat, 1 - carnivoresLeft);
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::ParameterDialogTest)
#include "parameter_dialog_test.moc"
