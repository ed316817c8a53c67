#pragma once
// What the export tests share: a default directory of their own, scripted
// dialogs that also serve the general error display, a table of texts, and
// the names of the files a folder holds.
#include <QDir>
#include <QStringList>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "output/spreadsheet_app.h"
#include "output/text_table.h"
#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"

namespace lekta::testing {

class VectorTable : public output::TextTable {
public:
    std::vector<std::vector<QString>> rows;
    int RowCount() const override { return static_cast<int>(rows.size()); }
    const QString& Cell(int column, int row) const override
    {
        return rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column));
    }
};

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override { ui::set_error_dialogs(&dialogs); }
    void TearDown() override { ui::set_error_dialogs(nullptr); }

    output::ApplicationOptions options() const
    {
        return {QString::fromStdString(dir.path()), const_cast<ui::ScriptedDialogs*>(&dialogs), {}};
    }
    // Every entry of the default directory, hidden ones too.
    QStringList files() const
    {
        return QDir(QString::fromStdString(dir.path()))
            .entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    std::string stored(const QString& name = QStringLiteral("ЛЕКТА-ЗИВ8.xlsx")) const
    {
        return dir.file(name.toStdString());
    }
    QStringList messages() const
    {
        QStringList out;
        for (const auto& s : dialogs.shown())
            if (s.kind == ui::ScriptedDialogs::Kind::Message)
                out << s.text;
        return out;
    }
    QStringList opened() const
    {
        QStringList out;
        for (const auto& s : dialogs.shown())
            if (s.kind == ui::ScriptedDialogs::Kind::Document)
                out << s.text;
        return out;
    }

    TempDir dir;
    ui::ScriptedDialogs dialogs;
};

}  // namespace lekta::testing

// Readable failures for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
