// "Он-лайн": the checklist, the port from the port-lookup library or from
// the port dialog's scan, the dialog's "ОК" and "Отмена", and the listing of
// USB serial devices.
#include "chart/chart.h"
#include "online/online_command.h"
#include "online/online_state.h"
#include "online/port_dialog.h"
#include "online/port_scan.h"
#include "online/receive.h"
#include "pty_fixture.h"
#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QComboBox>
#include <QPushButton>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lekta {
namespace {

using testing::Pty;
using testing::TempDir;

const QString kChecklist =
    "1.Подключите электоронный блок \n2. Установите образец \n3.Перейти к автоподстройке\n"
    "4.Включить двигатель";

class OnlineCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        online_state().reset();
        ui::set_error_dialogs(&dialogs);
        ASSERT_TRUE(unit.ok());
        ASSERT_TRUE(other.ok());
        ::mkdir(dev.file("serial").c_str(), 0755);
        ::mkdir(dev.file("serial/by-id").c_str(), 0755);
    }
    void TearDown() override
    {
        ui::reset_error_display();
        online_state().reset();
    }

    // The command with the library's answer and counting modal shows.
    OnlineCommand command(std::vector<std::string> library_ports)
    {
        return {dialogs, form2, form10, [library_ports] { return library_ports; },
                [this] {
                    ++online_shows;
                    port_open_at_show = form2.CommPortDriver1().Connected();
                    return int(QDialog::Rejected);
                },
                [this] {
                    ++dialog_shows;
                    return int(QDialog::Rejected);
                },
                // The machine's own serial ports are left alone.
                [this](TCommPortDriver& port) { return scan_ports(port, com_names, dev.path()); }};
    }
    void link(const std::string& target, const std::string& name)
    {
        ASSERT_EQ(::symlink(target.c_str(), dev.file(name).c_str()), 0);
    }
    // Something left from a previous run.
    void previous_run()
    {
        form2.add_rows({{"1", "2", "", false}});
        form2.add_points(LinkSeries::LoadCurve, {{70, 2}});
        form2.add_points(LinkSeries::FtLine, {{0, 1}, {70, 1}});
        form2.add_points(LinkSeries::ExtensometerCurve, {{0.1, 2}});
        form2.Chart1->BottomAxis().SetMaximum(73.5);
        form2.Chart1->LeftAxis().SetMaximum(2.1);
    }

    ui::ScriptedDialogs dialogs;
    Pty unit, other, third;
    TempDir dev;
    std::vector<QString> com_names;
    TForm2 form2{dialogs};
    TForm10 form10{dialogs, form2};
    int online_shows = 0, dialog_shows = 0;
    bool port_open_at_show = true;
};

// The library's last entry is the port; the window opens on it with an
// empty table and main curve, the extensometer chart kept.
TEST_F(OnlineCommandTest, LibraryPortOpens)
{
    previous_run();
    N40Click(command({"/nonexistent/first", unit.slave_path()}));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, kChecklist);
    EXPECT_EQ(online_state().chosen_port_name, unit.port_name());
    EXPECT_EQ(online_shows, 1);
    EXPECT_EQ(dialog_shows, 0);
    EXPECT_FALSE(port_open_at_show);  // the port test closed it again
    EXPECT_EQ(form2.NextGrid1->RowCount(), 0);
    EXPECT_EQ(form2.Series1->Count(), 0);
    EXPECT_EQ(form2.Series2->Count(), 0);
    EXPECT_EQ(form2.Chart1->BottomAxis().Maximum(), 50);
    EXPECT_EQ(form2.Chart1->LeftAxis().Maximum(), 20);
    EXPECT_EQ(form2.LineSeries1->Count(), 1);
}

// A library port that does not open ends the command without a word and
// without the window; the table is emptied all the same.
TEST_F(OnlineCommandTest, LibraryPortFailsSilently)
{
    previous_run();
    N40Click(command({"/nonexistent/port"}));
    EXPECT_EQ(dialogs.texts(), QStringList{kChecklist});
    EXPECT_EQ(online_state().chosen_port_name, "\\\\.\\/nonexistent/port");
    EXPECT_EQ(online_shows, 0);
    EXPECT_EQ(dialog_shows, 0);
    EXPECT_EQ(form2.NextGrid1->RowCount(), 0);
    EXPECT_EQ(form2.Series1->Count(), 1);
}

// No library port: the dialog lists what opens, the USB devices after the
// COM names, each device once, and selects the second entry.
TEST_F(OnlineCommandTest, NoLibraryPortOffersTheDialogWithTheSecondEntrySelected)
{
    ASSERT_TRUE(third.ok());
    com_names = {"\\\\.\\COM0", QString::fromStdString(unit.port_name())};
    link(other.slave_path(), "ttyUSB0");
    link(third.slave_path(), "ttyACM10");
    link("/nonexistent/tty", "ttyACM2");               // listed by the system, does not open
    link(unit.slave_path(), "serial/by-id/usb-unit");  // the device of a COM name
    link(other.slave_path(), "ttyUSBX");               // not a numbered node
    N40Click(command({}));

    EXPECT_EQ(dialogs.texts(),
              (QStringList{kChecklist, "Устройство не найдено выбирете Com Port"}));
    EXPECT_EQ(dialog_shows, 1);
    EXPECT_EQ(online_shows, 0);
    EXPECT_TRUE(online_state().chosen_port_name.empty());
    QStringList items;
    for (int i = 0; i < form10.ComboBox1->count(); ++i)
        items << form10.ComboBox1->itemText(i);
    EXPECT_EQ(items, (QStringList{QString::fromStdString(unit.port_name()),
                                  QString::fromStdString(dev.file("ttyUSB0")),
                                  QString::fromStdString(dev.file("ttyACM10"))}));
    EXPECT_EQ(form10.ComboBox1->currentIndex(), 1);
    EXPECT_EQ(form10.ComboBox1->currentText(), items[1]);
    EXPECT_FALSE(form2.CommPortDriver1().Connected());
}

TEST(PortScan, TheSixtyFiveComNames)
{
    const std::vector<QString> names = com_port_names();
    ASSERT_EQ(names.size(), 65u);
    EXPECT_EQ(names.front(), "\\\\.\\COM0");
    EXPECT_EQ(names[10], "\\\\.\\COM10");
    EXPECT_EQ(names.back(), "\\\\.\\COM64");
}

TEST_F(OnlineCommandTest, UsbCandidatesInOrderWithoutDuplicates)
{
    link(unit.slave_path(), "ttyUSB10");
    link(unit.slave_path(), "ttyUSB2");
    link(other.slave_path(), "ttyACM0");
    link(other.slave_path(), "serial/by-id/usb-same-as-acm0");
    link("/nonexistent/x", "serial/by-id/usb-gone");
    link(unit.slave_path(), "ttyS0");  // on-board ports come as COM names
    const auto c = usb_serial_candidates(dev.path(), {dev.file("ttyUSB10")});
    // ttyUSB10 is known already; ttyUSB2 is the same device, so it goes too.
    EXPECT_EQ(c,
              (std::vector<std::string>{dev.file("ttyACM0"), dev.file("serial/by-id/usb-gone")}));
    EXPECT_TRUE(usb_serial_candidates(dev.file("missing"), {}).empty());
}

// With one port only, nothing is selected; choosing it by hand opens the
// window on it, and the dialog stays.
TEST_F(OnlineCommandTest, DialogOkOpensTheWindowOnTheTextAsItStands)
{
    link(unit.slave_path(), "ttyUSB0");
    int shows = 0;
    form10.show_online_modal = [&] {
        ++shows;
        EXPECT_FALSE(form2.CommPortDriver1().Connected());
        return int(QDialog::Rejected);
    };
    N40Click(command({}));
    EXPECT_EQ(form10.ComboBox1->currentIndex(), -1);
    EXPECT_TRUE(form10.ComboBox1->currentText().isEmpty());

    previous_run();
    form10.ComboBox1->setEditText(
        QString::fromStdString(unit.slave_path()));  // typed: no prefix is added
    form10.show();
    form10.btnOK->click();
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(online_state().chosen_port_name, unit.slave_path());
    EXPECT_EQ(form2.Series1->Count(), 0);
    EXPECT_EQ(form2.Series2->Count(), 0);
    EXPECT_EQ(form2.NextGrid1->RowCount(), 0);
    EXPECT_EQ(form2.Chart1->BottomAxis().Maximum(),
              73.5);  // only the online command resets the limits
    EXPECT_TRUE(form10.isVisible());
    EXPECT_EQ(dialogs.texts().size(), 2);
    form10.Button2->click();
    EXPECT_FALSE(form10.isVisible());
}

TEST_F(OnlineCommandTest, DialogOkThatCannotConnectSaysSoAndCloses)
{
    int shows = 0;
    form10.show_online_modal = [&] { return ++shows; };
    form10.fill({});
    form10.show();
    form10.btnOK->click();  // an empty text names no device
    EXPECT_EQ(dialogs.texts(), QStringList{"Ошибка подключения!"});
    EXPECT_FALSE(form10.isVisible());
    EXPECT_EQ(form10.result(), QDialog::Rejected);

    form10.ComboBox1->setEditText("COM0");
    form10.show();
    form10.btnOK->click();
    EXPECT_EQ(online_state().chosen_port_name, "COM0");
    EXPECT_EQ(dialogs.texts().size(), 2);
    EXPECT_EQ(shows, 0);
}

TEST_F(OnlineCommandTest, PortDialogLooksAsDesigned)
{
    EXPECT_EQ(form10.windowTitle(), "Com Port");
    EXPECT_TRUE(form10.ComboBox1->isEditable());
    EXPECT_EQ(form10.btnOK->text(), "ОК");
    EXPECT_EQ(form10.Button2->text(), "Отмена");
    EXPECT_FALSE(form10.windowFlags() & Qt::WindowCloseButtonHint);
    form10.fill({"a", "b", "c"});
    EXPECT_EQ(form10.ComboBox1->currentText(), "b");
}

}  // namespace
}  // namespace lekta
