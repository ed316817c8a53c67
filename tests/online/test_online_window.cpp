// The online window: what its show resets and keeps, its close, its menu,
// the engine's view over its charts and table, and the give-up message.
#include "app/shell_state.h"
#include "chart/chart.h"
#include "online/online_state.h"
#include "online/receive.h"
#include "pty_fixture.h"
#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <stdexcept>

namespace lekta {
namespace {

using testing::Pty;
using testing::wait_until;

class OnlineWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell().reset();
        online_state().reset();
        ui::set_error_dialogs(&dialogs);
        ASSERT_TRUE(pty.ok());
        online_state().chosen_port_name = pty.port_name();
    }
    void TearDown() override
    {
        ui::reset_error_display();
        online_state().reset();
        shell().reset();
    }
    // What the window wrote to the unit so far.
    std::string written()
    {
        const std::vector<unsigned char> b = pty.read_available();
        return std::string(b.begin(), b.end());
    }

    testing::ScopedSeparator comma{","};
    ui::ScriptedDialogs dialogs;
    Pty pty;
    TForm2 form{dialogs};
};

TEST_F(OnlineWindow, BuiltAsTheOperatorKnowsIt)
{
    EXPECT_EQ(form.windowTitle(), "Прием данных");
    EXPECT_FALSE(form.CheckBox1->isVisibleTo(&form));
    EXPECT_TRUE(form.Timer3().running());  // the watchdog ticks from creation
    EXPECT_EQ(form.Timer3().interval(), 3000);
    EXPECT_EQ(form.CommPortDriver1().PortName(), "\\\\.\\COM32");
    EXPECT_EQ(form.CommPortDriver1().BaudRateValue(), 57600u);

    ASSERT_EQ(form.NextGrid1->ColumnCount(), 3);
    EXPECT_EQ(form.NextGrid1->Column(0).caption, "F, кН");
    EXPECT_EQ(form.NextGrid1->Column(1).caption, "H Δ,  мм.");
    EXPECT_EQ(form.NextGrid1->Column(2).caption, "H Δe, мм");
    EXPECT_EQ(form.GroupBox1->title(), "Информация");
    EXPECT_EQ(form.StaticText4->text(), "Тип прибора:");
    EXPECT_EQ(form.StaticText3->text(), "Версия ПО:");
    EXPECT_EQ(form.StaticText6->text(), "Количество записей:");

    EXPECT_EQ(form.Chart1->BottomAxis().Title(), "Δ ,мм ");
    EXPECT_EQ(form.Chart1->BottomAxis().Minimum(), 0);
    EXPECT_EQ(form.Chart1->BottomAxis().Maximum(), 50);
    EXPECT_EQ(form.Chart1->BottomAxis().Increment(), 1);
    EXPECT_EQ(form.Chart1->LeftAxis().Title(), "F, кН");
    EXPECT_EQ(form.Chart1->LeftAxis().Minimum(), -0.2);
    EXPECT_EQ(form.Chart1->LeftAxis().Maximum(), 20);
    EXPECT_EQ(form.Chart1->Title().Alignment(), Qt::AlignRight);
    EXPECT_TRUE(form.Chart1->Title().Lines().isEmpty());
    EXPECT_EQ(form.Chart2->BottomAxis().Increment(), 0.01);
    EXPECT_EQ(form.Chart2->LeftAxis().Minimum(), -0.2);
    EXPECT_FALSE(form.Chart2->LeftAxis().AutomaticMinimum());
    EXPECT_EQ(form.Series1->Color(), 255);
    EXPECT_EQ(form.Series2->Color(), 16711680);
    EXPECT_EQ(form.LineSeries1->Color(), 255);
    EXPECT_EQ(form.FastLineSeries1->Color(), 16711680);

    QStringList items;
    for (QAction* a : form.N1->actions())
        items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items, (QStringList{"Настройки Графика", "-", "Экспорт", "Сохранить График в  Файл",
                                  "Печать Графика", "-", "Выход"}));
    EXPECT_EQ(form.SavePictureDialog1.default_ext, "jpg");
    EXPECT_EQ(form.SavePictureDialog1.filter, "JPEG Image File (*.jpg)|*.jpg");
    EXPECT_EQ(form.SavePictureDialog1.filter_index, 2);
}

TEST_F(OnlineWindow, LineWidthSetting)
{
    EXPECT_EQ(TForm2::line_width_of("5"), 5);
    EXPECT_EQ(TForm2::line_width_of("12"), 12);
    EXPECT_EQ(TForm2::line_width_of(""), 3);
    EXPECT_EQ(TForm2::line_width_of("2,5"), 3);
    EXPECT_EQ(TForm2::line_width_of("2.5"), 3);
    EXPECT_EQ(TForm2::line_width_of("толстая"), 3);
    EXPECT_EQ(TForm2::line_width_of("99999999999"), 3);
}

// The show resets what belongs to one run, both charts and the title with
// it, and keeps what a previous run left on the labels.
TEST_F(OnlineWindow, ShowResetsTheRunAndItsChartsAndKeepsThePreviousRunsLabels)
{
    form.Label1->setText("F,кН = 7");
    form.Label4->setText("Ft,кН = 3");
    form.Chart1->Title().SetText("Испытание завершено !!!");
    form.LineSeries1->AppendPoints(std::vector<ui::ChartPoint>{{0.1, 1}, {0.2, 2}});
    form.StaticText7->setText("40");
    form.StaticText5->setText("Y");
    form.StaticText1->setText("1.0");
    form.StaticText2->setText("что-то");
    form.ProgressBar1->setValue(40);
    form.CheckBox1->setChecked(true);
    form.setWindowTitle("другое");
    shell().line_width = "";  // a first run: no width stored yet
    shell().color_f = 0x00FF00;
    shell().color_ft = 0x0000FF;

    form.show();
    EXPECT_EQ(form.Series1->LineWidth(), 3);
    EXPECT_EQ(form.Series1->Color(), 0x00FF00);
    EXPECT_EQ(form.Series2->Color(), 0x0000FF);
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_EQ(form.ProgressBar1->value(), 0);
    EXPECT_TRUE(form.StaticText7->text().isEmpty());
    EXPECT_TRUE(form.StaticText5->text().isEmpty());
    EXPECT_TRUE(form.StaticText1->text().isEmpty());
    EXPECT_EQ(form.StaticText2->text(), "Ожидание готовности прибора ...");
    EXPECT_EQ(form.windowTitle(), "Прием данных");
    // The run starts: the chosen port opens and the unit is asked its type.
    EXPECT_TRUE(form.CommPortDriver1().Connected());
    EXPECT_EQ(form.CommPortDriver1().PortName().toStdString(), pty.port_name());
    EXPECT_TRUE(form.Timer1().running());
    EXPECT_TRUE(wait_until([&] { return written() == "Z"; }, 2000));
    // Kept from the previous run.
    EXPECT_EQ(form.Label1->text(), "F,кН = 7");
    EXPECT_EQ(form.Label4->text(), "Ft,кН = 3");
    // Not the previous run's ending, nor its extensometer curve to join the new one to.
    EXPECT_TRUE(form.Chart1->Title().Lines().isEmpty());
    EXPECT_EQ(form.LineSeries1->Count(), 0);

    // A dialogue that breaks off says so and keeps its points.
    form.add_points(LinkSeries::ExtensometerCurve, {{0.1, 2}});
    form.link_lost();
    EXPECT_EQ(form.Chart1->Title().Text(), "Связь с прибором потеряна !");
    EXPECT_EQ(form.StaticText2->text(), "Связь с прибором потеряна !");
    EXPECT_EQ(form.LineSeries1->Count(), 1);

    // Closed however: the port is let go, the retry and the poll stop, the
    // watchdog is not touched.
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.CommPortDriver1().Connected());
    EXPECT_FALSE(form.Timer1().running());
    EXPECT_FALSE(form.Timer2().running());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(form.LineSeries1->Count(), 1);
    EXPECT_TRUE(dialogs.shown().empty());

    shell().line_width = "4";
    form.show();
    EXPECT_EQ(form.Series1->LineWidth(), 4);
    form.close();
}

TEST_F(OnlineWindow, ExitEndsTheModalShowWithCancel)
{
    int result = -1;
    QTimer::singleShot(0, &form, [&] {
        EXPECT_TRUE(form.CommPortDriver1().Connected());
        form.ProgressBar1->setValue(30);
        form.N4->trigger();
    });
    result = form.exec();
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(form.CommPortDriver1().Connected());
    EXPECT_EQ(form.ProgressBar1->value(), 0);
    EXPECT_FALSE(form.Timer1().running());
}

// The engine's rows and points land in the table and the charts as they are.
TEST_F(OnlineWindow, ViewAppendsRowsAndPointsAndReadsExtents)
{
    form.add_rows({{"1,5", "2", "", false}, {"3", "4,25", "0,0012", true}});
    form.add_rows({{"5", "6", "", false}});
    ASSERT_EQ(form.NextGrid1->RowCount(), 3);
    EXPECT_EQ(form.NextGrid1->Cell(0, 0), "1,5");
    EXPECT_EQ(form.NextGrid1->Cell(1, 1), "4,25");
    EXPECT_EQ(form.NextGrid1->Cell(2, 1), "0,0012");
    EXPECT_TRUE(form.NextGrid1->Cell(2, 0).isEmpty());
    EXPECT_EQ(form.NextGrid1->Cell(0, 2), "5");

    form.add_points(LinkSeries::LoadCurve, {{1, 2}, {3, -1}});
    form.add_points(LinkSeries::LoadCurve, {{2, 5}});
    const SeriesExtent e = form.extent(LinkSeries::LoadCurve);
    EXPECT_EQ(e.min_x, 1);
    EXPECT_EQ(e.max_x, 3);
    EXPECT_EQ(e.min_y, -1);
    EXPECT_EQ(e.max_y, 5);
    EXPECT_EQ(form.Series1->Count(), 3);
    form.add_points(LinkSeries::F02Line, {{0, 2}, {1, 2}});
    EXPECT_EQ(form.FastLineSeries1->Count(), 2);
    EXPECT_EQ(form.extent(LinkSeries::ExtensometerCurve).max_x, 0);  // empty

    form.set_manual_left_minimum_bottom_maximum(LinkChart::Extensometer);
    form.set_bottom_maximum(LinkChart::Extensometer, 2.1);
    form.set_bottom_minimum(LinkChart::Extensometer, 0.5);
    form.set_left_maximum(LinkChart::Extensometer, 5.25);
    form.set_left_minimum(LinkChart::Extensometer, 1);
    EXPECT_EQ(form.bottom_maximum(LinkChart::Extensometer), 2.1);
    EXPECT_EQ(form.bottom_minimum(LinkChart::Extensometer), 0.5);
    EXPECT_EQ(form.Chart2->LeftAxis().Maximum(), 5.25);
    EXPECT_EQ(form.Chart2->LeftAxis().Minimum(), 1);

    form.set_label(4, "Ft,кН = 40");
    form.set_record_count_text("5461");
    form.set_main_chart_title("Испытание закончено!");
    form.set_extensometer_chart_visible(false);
    EXPECT_EQ(form.Label4->text(), "Ft,кН = 40");
    EXPECT_EQ(form.StaticText7->text(), "5461");
    EXPECT_EQ(form.Chart1->Title().Text(), "Испытание закончено!");
    EXPECT_FALSE(form.Panel2->isVisibleTo(&form));
    form.set_extensometer_chart_visible(true);
    EXPECT_TRUE(form.Panel2->isVisibleTo(&form));
}

TEST_F(OnlineWindow, WayInClearsTheTableAndTheMainCurve)
{
    form.add_rows({{"1", "2", "", false}});
    form.add_points(LinkSeries::LoadCurve, {{60, 2}});
    form.add_points(LinkSeries::FtLine, {{0, 1}, {60, 1}});
    form.add_points(LinkSeries::ExtensometerCurve, {{0.1, 2}});
    form.Chart1->BottomAxis().SetMaximum(63);
    form.Chart1->LeftAxis().SetMaximum(2.1);

    form.clear_main_curves(false);
    EXPECT_EQ(form.Series1->Count(), 0);
    EXPECT_EQ(form.Series2->Count(), 0);
    EXPECT_EQ(form.Chart1->BottomAxis().Maximum(), 63);
    form.clear_main_curves(true);
    EXPECT_EQ(form.Chart1->BottomAxis().Maximum(), 50);
    EXPECT_EQ(form.Chart1->LeftAxis().Maximum(), 20);
    form.clear_point_table();
    EXPECT_EQ(form.NextGrid1->RowCount(), 0);
    EXPECT_EQ(form.LineSeries1->Count(), 1);  // the extensometer chart is never cleared
}

TEST_F(OnlineWindow, MenuCommandsGoToTheirHooks)
{
    int parameters = 0, exports = 0;
    form.commands.graph_parameters = [&] { ++parameters; };
    form.commands.export_curve = [&] { ++exports; };
    form.N2->trigger();
    form.N3->trigger();
    form.N3->trigger();
    EXPECT_EQ(parameters, 1);
    EXPECT_EQ(exports, 2);
    // Not wired yet: nothing happens, nothing is shown.
    form.N5->trigger();
    form.Gt1->trigger();
    EXPECT_TRUE(dialogs.shown().empty());
    // A failing command goes to the general error display; the window stays.
    form.commands.export_curve = [] { throw std::runtime_error("Запись не удалась"); };
    form.N3->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, "Запись не удалась");
}

// After the silent retries the window says the unit was not found and
// closes with the cancel result.
TEST_F(OnlineWindow, GiveUpMessageClosesTheWindow)
{
    QTimer::singleShot(0, &form, [&] { form.unit_not_found(); });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].title, "Ошибка");
    EXPECT_EQ(dialogs.shown()[0].text,
              "Прибор не обнаружен! Проверте правильность подключения согласно инструкции!");
    EXPECT_EQ(dialogs.shown()[0].icon, ui::Icon::Error);
    EXPECT_FALSE(form.CommPortDriver1().Connected());
    EXPECT_FALSE(form.Timer1().running());
}

// The unit's data response as it goes over the line: 'P', 'S', the data
// block (count, then F, H, He of each record), 'T' and a type Y result block.
std::vector<unsigned char> unit_response(const std::vector<std::array<std::int32_t, 3>>& records)
{
    std::vector<std::uint8_t> block{std::uint8_t(records.size()),
                                    std::uint8_t(records.size() >> 8)};
    auto put = [](std::vector<std::uint8_t>& to, std::int32_t x) {
        for (int i = 0; i < 4; ++i)
            to.push_back(static_cast<std::uint8_t>(std::uint32_t(x) >> (8 * i)));
    };
    for (const auto& r : records)
        for (std::int32_t x : r)
            put(block, x);
    std::vector<std::uint8_t> results;
    put(results, 0);
    put(results, 0);
    std::vector<unsigned char> out{'P', 'S'};
    auto encode = [&out](const std::vector<std::uint8_t>& bytes) {
        for (std::uint8_t b : bytes) {
            out.push_back(static_cast<unsigned char>('0' + (b & 0x0F)));
            out.push_back(static_cast<unsigned char>('0' + (b >> 4)));
        }
    };
    encode(block);
    out.push_back('T');
    encode(results);
    return out;
}

// Extensometer readings all below zero (-0.0005 and -0.0006 mm) come in
// through the port's poll: the extensometer chart shows them in a range
// below zero, and nothing reaches the error display.
TEST_F(OnlineWindow, ExtensometerReadingsBelowZeroAreDrawn)
{
    form.show();
    ASSERT_TRUE(wait_until([&] { return written() == "Z"; }, 2000));
    ASSERT_TRUE(pty.write({'Y'}));
    ASSERT_TRUE(wait_until([&] { return written() == "D"; }, 5000));  // the identification retry
    ASSERT_TRUE(pty.write(unit_response({{5000, 1000, -5}, {6000, 1200, -6}})));
    ASSERT_TRUE(wait_until([&] { return form.NextGrid1->RowCount() == 2; }, 5000));

    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join("; ").toStdString();
    EXPECT_TRUE(form.Panel2->isVisibleTo(&form));
    EXPECT_EQ(form.LineSeries1->Count(), 2);
    EXPECT_DOUBLE_EQ(form.Chart2->BottomAxis().Minimum(), -0.0006 * 1.05);
    EXPECT_DOUBLE_EQ(form.Chart2->BottomAxis().Maximum(), -0.0005 * 0.95);
    if (const QByteArray dir = qgetenv("LEKTA_SAVE_PICTURES"); !dir.isEmpty())
        form.grab().save(QString::fromUtf8(dir) + "/online-negative-extensometer.png");
    form.close();
}

// A failure in the port's poll ends that tick at the general error display
// instead of unwinding through Qt; the poll goes on.
TEST_F(OnlineWindow, FailureInThePortPollIsShownAndThePollGoesOn)
{
    form.show();
    int chunks = 0;
    form.CommPortDriver1().OnReceiveData = [&](TCommPortDriver*, const unsigned char*,
                                               std::uint32_t) {
        ++chunks;
        throw std::runtime_error("Range check error");
    };
    ASSERT_TRUE(pty.write({'Y'}));
    ASSERT_TRUE(wait_until([&] { return chunks == 1; }, 2000));
    ASSERT_TRUE(pty.write({'Y'}));
    ASSERT_TRUE(wait_until([&] { return chunks == 2; }, 2000));
    EXPECT_EQ(dialogs.texts(), (QStringList{"Range check error", "Range check error"}));
    form.close();
}

}  // namespace
}  // namespace lekta
