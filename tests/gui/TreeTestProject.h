#pragma once
// The scanned fixture project that the tree tests browse:
//   Demo: SysUtils (ignored), UnitA, MainForm (has a form), Missing (unknown), lib/Deep
//   UnitA: interface SysUtils; implementation UnitB      UnitB: interface UnitA, Classes
//   MainForm: Windows, UnitA, Missing, Utils (in utils.pas)
//   Utils: implementation Windows, Messages (all ignored) Deep: Nowhere1, Nowhere2 (unknown)
#include "QtPrinters.h"
#include "scan/ProjectScan.h"
#include "trees/TreeRules.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QStringList>

#include <ostream>

namespace ut::gui::testing {

class SilentFrontEnd : public ScanFrontEnd {
  public:
    void AppendLog(const LogLine& line) override { Log += IndentedText(line) + "\n"; }
    std::string Log;
};

class ScannedProject : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scan.ScanProject(UNITRACE_FIXTURES "/trees/Demo.dpr")) << frontEnd.Log;
        ASSERT_NE(scan.FProject, nullptr);
    }

    TUnit* Unit(const char* key) const {
        TUnit* unit = scan.FindUnit(key);
        EXPECT_NE(unit, nullptr) << key;
        return unit;
    }

    SilentFrontEnd frontEnd;
    ProjectScan scan{frontEnd};
    TreeFilters filters;
};

/// The display texts of the children of `parent` in column `column`.
inline QStringList ChildTexts(const QAbstractItemModel& model, const QModelIndex& parent,
                              int column = 0) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(parent); ++row)
        texts << model.index(row, column, parent).data().toString();
    return texts;
}

/// The child of `parent` whose text is `text` (an invalid index when there is none).
inline QModelIndex Child(const QAbstractItemModel& model, const QModelIndex& parent,
                         const QString& text) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        if (index.data().toString() == text)
            return index;
    }
    return {};
}

} // namespace ut::gui::testing
