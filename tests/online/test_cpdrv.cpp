// The serial port object against a pseudo-terminal.
#include "online/CPDrv.h"
#include "online/pty_fixture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <numeric>
#include <termios.h>

namespace lekta {
namespace {

using testing::Pty;
using testing::wait_until;

constexpr int kWaitMs = 5000;

// Everything the receive event delivered, and the size of each chunk.
struct Received {
    std::vector<unsigned char> bytes;
    std::vector<std::uint32_t> sizes;
    void attach(TCommPortDriver& port)
    {
        port.OnReceiveData = [this](TCommPortDriver*, const unsigned char* data,
                                    std::uint32_t size) {
            sizes.push_back(size);
            bytes.insert(bytes.end(), data, data + size);
        };
    }
};

class CommPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        port.SetPortName(QString::fromStdString(pty.port_name()));
    }
    bool open()
    {
        // The online window's configuration.
        port.SetBaudRate(brCustom);
        port.SetBaudRateValue(57600);
        port.SetEnableDTROnOpen(false);
        port.SetInBufSize(4096);
        port.SetOutBufSize(4096);
        return port.Connect();
    }
    Pty pty;
    TCommPortDriver port;
};

TEST(CommPortNames, DeviceNamesMapToPaths)
{
    EXPECT_EQ(serial_device_path("\\\\.\\COM1"), "/dev/ttyS0");
    EXPECT_EQ(serial_device_path("\\\\.\\COM32"), "/dev/ttyS31");
    EXPECT_EQ(serial_device_path("\\\\.\\com3"), "/dev/ttyS2");
    EXPECT_EQ(serial_device_path("\\\\.\\COM0"), "");
    EXPECT_EQ(serial_device_path("\\\\.\\/dev/pts/7"), "/dev/pts/7");
    EXPECT_EQ(serial_device_path("\\\\.\\ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(serial_device_path("\\\\.\\COMX"), "/dev/COMX");
    EXPECT_EQ(serial_device_path("\\\\.\\"), "");
    // Without the prefix the same rules hold.
    EXPECT_EQ(serial_device_path("COM2"), "/dev/ttyS1");
    EXPECT_EQ(serial_device_path("/tmp/x"), "/tmp/x");
    EXPECT_EQ(serial_device_path("ttyACM1"), "/dev/ttyACM1");
}

TEST(CommPortSettings, DefaultsAndNameRules)
{
    TCommPortDriver port;
    EXPECT_EQ(port.Port(), pnCOM2);
    EXPECT_EQ(port.PortName(), "\\\\.\\COM2");
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.BaudRateValue(), 9600u);
    EXPECT_EQ(port.InBufSize(), 2048u);
    EXPECT_EQ(port.PollingDelay(), 50);
    EXPECT_TRUE(port.EnableDTROnOpen());
    EXPECT_TRUE(port.IsPolling());

    port.SetPort(pnCOM16);
    EXPECT_EQ(port.PortName(), "\\\\.\\COM16");
    port.SetPortName("\\\\.\\COM32");
    EXPECT_EQ(port.Port(), pnCustom);
    EXPECT_EQ(port.PortName(), "\\\\.\\COM32");

    port.SetBaudRate(br57600);
    EXPECT_EQ(port.BaudRateValue(), 57600u);
    port.SetBaudRate(br256000);
    EXPECT_EQ(port.BaudRateValue(), 256000u);
    port.SetBaudRateValue(57600);
    EXPECT_EQ(port.BaudRate(), brCustom);
}

TEST(CommPortSettings, SizesAndPollingDelayAreClamped)
{
    TCommPortDriver port;
    port.SetInBufSize(100);
    EXPECT_EQ(port.InBufSize(), 128u);
    port.SetInBufSize(10000);
    EXPECT_EQ(port.InBufSize(), 8192u);
    port.SetOutBufSize(0);
    EXPECT_EQ(port.OutBufSize(), 128u);
    port.SetOutBufSize(65536);
    EXPECT_EQ(port.OutBufSize(), 8192u);
    port.SetPollingDelay(1);
    EXPECT_EQ(port.PollingDelay(), 5);
    port.SetPollingDelay(20);
    EXPECT_EQ(port.PollingDelay(), 20);
}

TEST(CommPortClosed, OperationsOnAClosedPortFailQuietly)
{
    TCommPortDriver port;
    port.Disconnect();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.Handle(), -1);
    EXPECT_FALSE(port.FlushBuffers(true, true));
    EXPECT_EQ(port.CountRX(), 65535u);
    EXPECT_EQ(port.OutFreeSpace(), 65535);
    EXPECT_TRUE(port.GetLineStatus().empty());
    EXPECT_FALSE(port.SendChar(u'D'));
    unsigned char b = 0;
    EXPECT_EQ(port.ReadData(&b, 1), 0u);
}

TEST(CommPortClosed, MissingDevicesDoNotOpen)
{
    TCommPortDriver port;
    port.SetPortName("\\\\.\\COM0");
    EXPECT_FALSE(port.Connect());
    EXPECT_FALSE(port.Connected());
    port.SetPortName("\\\\.\\/nonexistent/tty");
    EXPECT_FALSE(port.Connect());
    EXPECT_FALSE(port.Connected());
    // A file that is not a terminal is no port either.
    testing::TempDir dir;
    testing::write_file(dir.file("plain"), {1, 2, 3});
    port.SetPortName(QString::fromStdString("\\\\.\\" + dir.file("plain")));
    EXPECT_FALSE(port.Connect());
    EXPECT_FALSE(port.Connected());
}

TEST_F(CommPortTest, ConnectsRawAndDisconnects)
{
    ASSERT_TRUE(open());
    EXPECT_TRUE(port.Connected());
    ASSERT_GE(port.Handle(), 0);
    termios t{};
    ASSERT_EQ(tcgetattr(port.Handle(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B57600));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_TRUE(port.FlushBuffers(true, true));
    EXPECT_EQ(port.OutFreeSpace(), 4096);

    port.Disconnect();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.Handle(), -1);
    EXPECT_TRUE(port.Connect());  // and it opens again
}

TEST_F(CommPortTest, ConnectOnAnOpenPortKeepsItAsItIs)
{
    ASSERT_TRUE(open());
    int handle = port.Handle();
    port.PausePolling();
    ASSERT_TRUE(pty.write({1, 2, 3}));
    ASSERT_TRUE(wait_until([&] { return port.CountRX() == 3; }, kWaitMs));
    EXPECT_TRUE(port.Connect());
    EXPECT_EQ(port.Handle(), handle);
    EXPECT_EQ(port.CountRX(), 3u);  // neither reopened nor purged
}

TEST_F(CommPortTest, TheOpenIsExclusive)
{
    ASSERT_TRUE(open());
    TCommPortDriver other;
    other.SetPortName(port.PortName());
    EXPECT_FALSE(other.Connect());
    EXPECT_FALSE(other.Connected());
    // The failed attempt left the holder's line alone.
    ASSERT_TRUE(port.SendChar(u'A'));
    ASSERT_TRUE(wait_until([&] { return !pty.read_available().empty(); }, kWaitMs));
    port.Disconnect();
    EXPECT_TRUE(other.Connect());
}

TEST_F(CommPortTest, NameAndSizesAreFixedWhileOpen)
{
    ASSERT_TRUE(open());
    QString name = port.PortName();
    port.SetPortName("\\\\.\\COM7");
    port.SetPort(pnCOM3);
    port.SetInBufSize(256);
    port.SetOutBufSize(256);
    EXPECT_EQ(port.PortName(), name);
    EXPECT_EQ(port.Port(), pnCustom);
    EXPECT_EQ(port.InBufSize(), 4096u);
    EXPECT_EQ(port.OutBufSize(), 4096u);
    port.Disconnect();
    port.SetPort(pnCOM3);
    EXPECT_EQ(port.PortName(), "\\\\.\\COM3");
}

TEST_F(CommPortTest, LineSettingsChangedWhileOpenApplyAtOnce)
{
    // A pseudo-terminal always keeps 8 bits without parity, so the test
    // changes what it does keep: speed, stop bits and handshake.
    ASSERT_TRUE(open());
    port.SetBaudRate(br19200);
    port.SetStopBits(sb2BITS);
    port.SetSwFlow(sfXONXOFF);
    port.SetHwFlow(hfRTSCTS);
    termios t{};
    ASSERT_EQ(tcgetattr(port.Handle(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), static_cast<tcflag_t>(CSTOPB | CRTSCTS));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
    port.SetBaudRateValue(57600);
    port.SetSwFlow(sfNONE);
    ASSERT_EQ(tcgetattr(port.Handle(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B57600));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
}

TEST_F(CommPortTest, RatesWithoutAStandardConstantOpen)
{
    port.SetBaudRate(br14400);
    EXPECT_TRUE(port.Connect());
}

TEST_F(CommPortTest, SendCharSendsTheLowByte)
{
    ASSERT_TRUE(open());
    EXPECT_TRUE(port.SendChar(u'Z'));
    EXPECT_TRUE(port.SendChar(u'D'));
    EXPECT_TRUE(port.SendChar(char16_t(0x041A)));  // Cyrillic К: 0x1A goes out
    EXPECT_TRUE(port.SendByte(0xFF));
    std::vector<unsigned char> got;
    ASSERT_TRUE(wait_until(
        [&] {
            auto more = pty.read_available();
            got.insert(got.end(), more.begin(), more.end());
            return got.size() >= 4;
        },
        kWaitMs));
    EXPECT_EQ(got, (std::vector<unsigned char>{0x5A, 0x44, 0x1A, 0xFF}));
}

TEST_F(CommPortTest, SendDataWritesTheWholeBlock)
{
    ASSERT_TRUE(open());
    std::vector<unsigned char> block(3000);
    std::iota(block.begin(), block.end(), 0);
    EXPECT_EQ(port.SendData(block.data(), static_cast<std::uint32_t>(block.size())), block.size());
    std::vector<unsigned char> got;
    ASSERT_TRUE(wait_until(
        [&] {
            auto more = pty.read_available();
            got.insert(got.end(), more.begin(), more.end());
            return got.size() >= block.size();
        },
        kWaitMs));
    EXPECT_EQ(got, block);
}

TEST_F(CommPortTest, ReceivedChunksArriveInOrderThroughTheEvent)
{
    Received rx;
    rx.attach(port);
    port.SetPollingDelay(5);
    ASSERT_TRUE(open());
    std::vector<unsigned char> sent;
    for (int round = 0; round < 5; ++round) {
        std::vector<unsigned char> part(37);
        std::iota(part.begin(), part.end(), static_cast<unsigned char>(round * 37));
        ASSERT_TRUE(pty.write(part));
        sent.insert(sent.end(), part.begin(), part.end());
        ASSERT_TRUE(wait_until([&] { return rx.bytes.size() == sent.size(); }, kWaitMs));
    }
    EXPECT_EQ(rx.bytes, sent);
    for (auto s : rx.sizes)
        EXPECT_GT(s, 0u);
}

TEST_F(CommPortTest, BytesBeyondInBufSizeComeOnLaterTicks)
{
    Received rx;
    rx.attach(port);
    port.SetInBufSize(128);
    port.SetPollingDelay(5);
    ASSERT_TRUE(port.Connect());
    port.PausePolling();
    std::vector<unsigned char> sent(1000);
    std::iota(sent.begin(), sent.end(), 0);
    ASSERT_TRUE(pty.write(sent));
    ASSERT_TRUE(wait_until([&] { return port.CountRX() == sent.size(); }, kWaitMs));
    EXPECT_TRUE(rx.sizes.empty());  // paused: the bytes wait in the queue
    port.ContinuePolling();
    ASSERT_TRUE(wait_until([&] { return rx.bytes.size() == sent.size(); }, kWaitMs));
    EXPECT_EQ(rx.bytes, sent);
    EXPECT_GE(rx.sizes.size(), 8u);
    for (auto s : rx.sizes) {
        EXPECT_GT(s, 0u);
        EXPECT_LE(s, 128u);
    }
}

TEST_F(CommPortTest, ANewObjectDeliversAtMostItsDefaultInBufSize)
{
    Received rx;
    rx.attach(port);
    port.SetPollingDelay(5);
    ASSERT_TRUE(port.Connect());  // default InBufSize, 2048
    port.PausePolling();
    std::vector<unsigned char> sent(3000);
    std::iota(sent.begin(), sent.end(), 3);
    ASSERT_TRUE(pty.write(sent));
    ASSERT_TRUE(wait_until([&] { return port.CountRX() == sent.size(); }, kWaitMs));
    port.ContinuePolling();
    ASSERT_TRUE(wait_until([&] { return rx.bytes.size() == sent.size(); }, kWaitMs));
    EXPECT_EQ(rx.bytes, sent);
    ASSERT_GE(rx.sizes.size(), 2u);
    EXPECT_EQ(rx.sizes.front(), 2048u);
}

TEST_F(CommPortTest, WithoutAHandlerTheBytesAreDiscarded)
{
    port.SetPollingDelay(5);
    ASSERT_TRUE(open());
    port.PausePolling();
    ASSERT_TRUE(pty.write({9, 9, 9}));
    ASSERT_TRUE(wait_until([&] { return port.CountRX() == 3; }, kWaitMs));
    port.ContinuePolling();
    ASSERT_TRUE(wait_until([&] { return port.CountRX() == 0; }, kWaitMs));
    Received rx;
    rx.attach(port);
    ASSERT_TRUE(pty.write({7}));
    ASSERT_TRUE(wait_until([&] { return !rx.bytes.empty(); }, kWaitMs));
    EXPECT_EQ(rx.bytes, std::vector<unsigned char>{7});
}

TEST_F(CommPortTest, FlushDiscardsPendingInput)
{
    ASSERT_TRUE(open());
    port.PausePolling();
    EXPECT_FALSE(port.IsPolling());
    ASSERT_TRUE(pty.write({1, 2, 3, 4}));
    ASSERT_TRUE(wait_until([&] { return port.CountRX() == 4; }, kWaitMs));
    EXPECT_TRUE(port.FlushBuffers(true, false));
    EXPECT_EQ(port.CountRX(), 0u);
    port.ContinuePolling();
    EXPECT_TRUE(port.IsPolling());
}

TEST_F(CommPortTest, ReadDataTakesWaitingBytesAndGivesUp)
{
    port.SetInputTimeout(20);
    ASSERT_TRUE(open());
    port.PausePolling();
    ASSERT_TRUE(pty.write({0x10, 0x20, 0x30}));
    ASSERT_TRUE(wait_until([&] { return port.CountRX() == 3; }, kWaitMs));
    port.ContinuePolling();
    unsigned char buf[8] = {};
    EXPECT_EQ(port.ReadData(buf, 2), 2u);
    EXPECT_EQ(buf[0], 0x10);
    EXPECT_EQ(buf[1], 0x20);
    std::uint8_t b = 0;
    EXPECT_TRUE(port.ReadByte(b));
    EXPECT_EQ(b, 0x30);
    EXPECT_FALSE(port.ReadByte(b));  // nothing left: gives up
    EXPECT_TRUE(port.IsPolling());   // the read's own pause is over
}

TEST_F(CommPortTest, APeerThatClosedIsSilentNotAnError)
{
    Received rx;
    rx.attach(port);
    port.SetPollingDelay(5);
    port.SetOutputTimeout(50);
    ASSERT_TRUE(open());
    pty.close_master();
    testing::pump_events(50);
    EXPECT_TRUE(rx.sizes.empty());
    EXPECT_TRUE(port.Connected());
    EXPECT_FALSE(port.SendChar(u'D'));
    unsigned char buf[4];
    EXPECT_EQ(port.ReadData(buf, 4), 0u);
    // Modem lines do not exist here: the status is empty, toggles are harmless.
    port.ToggleDTR(true);
    port.ToggleRTS(false);
    EXPECT_TRUE(port.GetLineStatus().empty());
    port.Disconnect();
    EXPECT_FALSE(port.Connected());
}

TEST_F(CommPortTest, CheckLineStatusRefusesToWriteWithoutStatusLines)
{
    ASSERT_TRUE(open());
    port.SetCheckLineStatus(true);
    EXPECT_FALSE(port.SendChar(u'Z'));  // a pseudo-terminal shows no status line
    port.SetCheckLineStatus(false);
    EXPECT_TRUE(port.SendChar(u'Z'));
}

}  // namespace
}  // namespace lekta
