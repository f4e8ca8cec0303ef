// The arithmetic behind the parameter dialogs' arrows and OK button.
#include <QtTest>
#include <cfloat>
#include <climits>
#include <string>

#include "dialogs/parameter_steps.h"
#include "world/format.h"

namespace kesmir {

class ParameterStepsTest : public QObject {
    Q_OBJECT

  private slots:
    // A value outside its bounds, e.g. typed: the arrow on its far side moves
    // it one step, the one on its near side puts it onto the bound.
    void eachArrowTestsOnlyItsOwnBound() {
        QCOMPARE(formatted("%6.2f", loweredDecimal(25.0f, 0.1, 1.0f)), std::string(" 24.90"));
        QCOMPARE(raisedDecimal(25.0f, 0.1, 20.0f), 20.0f);
        QCOMPARE(raisedInteger(-8, 1, 7), -7);
        QCOMPARE(loweredInteger(-8, 1, 5), 5);
    }

    void integerStepsNeverOverflow() {
        QCOMPARE(raisedInteger(INT32_MAX, 1, 30), 30);
        QCOMPARE(loweredInteger(INT32_MIN, 1, 1), 1);
    }

    void decimalTextReadsTheLeadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("value");
        QTest::newRow("trailing letters") << "12.5abc" << 12.5f;
        QTest::newRow("letters only") << "abc" << 0.0f;
        QTest::newRow("blanks and sign") << " \t -3.25x" << -3.25f;
        QTest::newRow("bare fraction") << "+.5" << 0.5f;
        QTest::newRow("exponent") << "1e2" << 100.0f;
        QTest::newRow("second point") << "1.2.3" << 1.2f;
        QTest::newRow("beyond float") << "1e39" << FLT_MAX;
        QTest::newRow("beyond float, negative") << "-1e300" << -FLT_MAX;
        QTest::newRow("infinity") << "inf" << FLT_MAX;
        QTest::newRow("not a number") << "nan" << 0.0f;
        // Only the first 19 characters are read: here 18 blanks and the 7.
        QTest::newRow("twentieth character") << QString(18, ' ') + "75" << 7.0f;
        QTest::newRow("nineteen characters") << "1234567890123456789" << 1234567890123456789.0f;
    }

    void decimalTextReadsTheLeadingNumber() {
        QFETCH(QString, text);
        QFETCH(float, value);
        QCOMPARE(decimalFromText(text.toStdString()), value);
    }

    void integerTextReadsTheLeadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("blanks, sign, letters") << "  -12x" << -12;
        QTest::newRow("fraction cut off") << "12.9" << 12;
        QTest::newRow("letters only") << "abc" << 0;
        QTest::newRow("no hexadecimal") << "0x1F" << 0;
        QTest::newRow("exponent not read") << "1e3" << 1;
        QTest::newRow("beyond int32") << "99999999999" << INT_MAX;
        QTest::newRow("beyond int32, negative") << "-99999999999" << INT_MIN;
        QTest::newRow("twentieth character") << QString(18, ' ') + "42" << 4;
    }

    void integerTextReadsTheLeadingNumber() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(integerFromText(text.toStdString()), value);
    }
};

}  // namespace kesmir

QTEST_APPLESS_MAIN(kesmir::ParameterStepsTest)
#include "parameter_steps_test.moc"
