// The dialogs and the parameters by name edit the same globals: every
// dialog row's parameter has a name, and every named parameter a row.
#include <QtTest>
#include <map>

#include "dialogs/parameter_table.h"
#include "world/named_params.h"

namespace kesmir {

class NamedRowsTest : public QObject {
    Q_OBJECT

  private slots:
    void everyRowIsANamedParameterAndBack() {
        std::map<ParameterRef, int> rows, named;
        for (auto kind : {ParameterDialogKind::metabolic, ParameterDialogKind::satiety,
                          ParameterDialogKind::reproduction, ParameterDialogKind::senescence,
                          ParameterDialogKind::maturity})
            for (const ParameterRow& row : parameterDialogEntry(kind).rows)
                ++rows[row.parameter];
        for (const NamedParameter& parameter : namedParameters())
            ++named[parameter.global];
        QCOMPARE(rows.size(), std::size_t{15});
        QVERIFY(named == rows);  // the same globals, each once
    }
};

}  // namespace kesmir

QTEST_APPLESS_MAIN(kesmir::NamedRowsTest)
#include "named_rows_test.moc"
