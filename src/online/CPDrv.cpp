#include "online/CPDrv.h"

#include "ui/guarded_connect.h"

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

namespace lekta {

namespace {

constexpr std::uint32_t kMinBufSize = 128;
constexpr std::uint32_t kMaxBufSize = 8192;
constexpr std::uint16_t kMinPollingDelay = 5;
constexpr std::uint32_t kClosedCount = 65535;

using Clock = std::chrono::steady_clock;

std::int64_t ms_since(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

std::uint32_t clamp_buf_size(std::uint32_t v)
{
    return std::clamp(v, kMinBufSize, kMaxBufSize);
}

}  // namespace

std::uint32_t baud_rate_value(TBaudRate rate)
{
    static const std::uint32_t values[] = {0,     110,    300,    600,   1200,  2400,
                                           4800,  9600,   14400,  19200, 38400, 56000,
                                           57600, 115200, 128000, 256000};
    int i = static_cast<int>(rate);
    if (i < 0 || i >= static_cast<int>(std::size(values)))
        return 0;
    return values[i];
}

TCommPortDriver::TCommPortDriver(QObject* parent) : QObject(parent), poll_timer_(new QTimer(this))
{
    scratch_.assign(in_buf_size_, 0);
    ui::connect_guarded(poll_timer_, &QTimer::timeout, this, &TCommPortDriver::poll_tick);
}

TCommPortDriver::~TCommPortDriver()
{
    Disconnect();
}

// --- settings --------------------------------------------------------------

void TCommPortDriver::SetPort(TPortNumber value)
{
    if (Connected() || value < pnCustom || value > pnCOM16)
        return;
    port_ = value;
    if (value != pnCustom)
        port_name_ = QStringLiteral("\\\\.\\COM%1").arg(static_cast<int>(value));
}

void TCommPortDriver::SetPortName(const QString& value)
{
    if (Connected())
        return;
    port_name_ = value;
    port_ = pnCustom;
}

void TCommPortDriver::SetBaudRate(TBaudRate value)
{
    baud_rate_ = value;
    if (value != brCustom)
        baud_rate_value_ = baud_rate_value(value);
    line_setting_changed();
}

void TCommPortDriver::SetBaudRateValue(std::uint32_t value)
{
    baud_rate_value_ = value;
    baud_rate_ = brCustom;
    line_setting_changed();
}

void TCommPortDriver::SetDataBits(TDataBits value)
{
    data_bits_ = value;
    line_setting_changed();
}

void TCommPortDriver::SetStopBits(TStopBits value)
{
    stop_bits_ = value;
    line_setting_changed();
}

void TCommPortDriver::SetParity(TParity value)
{
    parity_ = value;
    line_setting_changed();
}

void TCommPortDriver::SetHwFlow(THwFlowControl value)
{
    hw_flow_ = value;
    line_setting_changed();
}

void TCommPortDriver::SetSwFlow(TSwFlowControl value)
{
    sw_flow_ = value;
    line_setting_changed();
}

void TCommPortDriver::SetInBufSize(std::uint32_t value)
{
    if (Connected())
        return;
    in_buf_size_ = clamp_buf_size(value);
    // A fresh, zero-filled scratch buffer of the new size.
    scratch_ = std::vector<unsigned char>(in_buf_size_, 0);
}

void TCommPortDriver::SetOutBufSize(std::uint32_t value)
{
    if (Connected())
        return;
    out_buf_size_ = clamp_buf_size(value);
}

void TCommPortDriver::SetPollingDelay(std::uint16_t value)
{
    polling_delay_ = std::max(value, kMinPollingDelay);
    if (Connected())
        poll_timer_->start(polling_delay_);
}

void TCommPortDriver::line_setting_changed()
{
    if (Connected())
        apply_line_config();
}

// --- open and close ----------------------------------------------------------

bool TCommPortDriver::apply_line_config()
{
    SerialLineConfig cfg;
    cfg.baud = baud_rate_value_;
    cfg.data_bits = static_cast<int>(data_bits_) + 5;
    cfg.parity = static_cast<int>(parity_);
    cfg.stop_bits = static_cast<int>(stop_bits_);
    cfg.hw_flow = static_cast<int>(hw_flow_);
    cfg.xon_xoff = sw_flow_ == sfXONXOFF;
    cfg.dtr_on = enable_dtr_on_open_;
    // XON/XOFF thresholds (a quarter of InBufSize) and the queue sizes are
    // the kernel's business here: the terminal driver keeps its own buffers,
    // so requesting InBufSize / OutBufSize always succeeds.
    return device_.configure(cfg) && FlushBuffers(true, true);
}

bool TCommPortDriver::Connect()
{
    if (Connected())
        return true;
    if (!device_.open(serial_device_path(port_name_.toStdString())))
        return false;
    if (!apply_line_config()) {
        device_.close();
        return false;
    }
    // Reads never block (the device is non-blocking): a read returns at once
    // with what is there, which is what the poll needs.
    poll_timer_->start(polling_delay_);
    return true;
}

void TCommPortDriver::Disconnect()
{
    if (!Connected())
        return;
    poll_timer_->stop();
    device_.close();
}

// --- writing -----------------------------------------------------------------

bool TCommPortDriver::SendChar(char16_t value)
{
    return SendByte(static_cast<std::uint8_t>(value & 0xFF));
}

bool TCommPortDriver::SendByte(std::uint8_t value)
{
    return SendData(&value, 1) == 1;
}

std::uint32_t TCommPortDriver::SendData(const void* data, std::uint32_t size)
{
    return SendDataEx(data, size, output_timeout_);
}

std::uint32_t TCommPortDriver::SendDataEx(const void* data, std::uint32_t size,
                                          std::uint32_t timeout_ms)
{
    if (!Connected() || data == nullptr)
        return 0;
    const auto* pos = static_cast<const unsigned char*>(data);
    std::uint32_t remaining = size;
    std::uint32_t written = 0;
    Clock::time_point last_progress = Clock::now();
    while (remaining > 0) {
        if (check_line_status_ && GetLineStatus().empty())
            break;
        std::uint32_t free_space = OutFreeSpace();
        bool progress = false;
        if (free_space > 0) {
            long r = device_.write_some(pos, std::min(remaining, free_space));
            if (r < 0)
                break;  // the line is gone (EIO once a pseudo-terminal's other side closed)
            if (r > 0) {
                auto n = static_cast<std::uint32_t>(r);
                written += n;
                pos += n;
                remaining -= n;
                last_progress = Clock::now();
                progress = true;
            }
        }
        if (!progress) {
            if (ms_since(last_progress) > static_cast<std::int64_t>(timeout_ms))
                break;
            if (free_space > 0)
                device_.wait_writable(10);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return written;
}

// --- reading -----------------------------------------------------------------

std::uint32_t TCommPortDriver::ReadData(void* data, std::uint32_t max_size)
{
    if (!Connected() || data == nullptr)
        return 0;
    auto* pos = static_cast<unsigned char*>(data);
    std::uint32_t got = 0;
    PausePolling();
    Clock::time_point last_progress = Clock::now();
    while (got < max_size) {
        std::uint32_t waiting = CountRX();
        if (waiting > 0) {
            long r = device_.read_some(pos + got, std::min(max_size - got, waiting));
            if (r < 0)
                break;
            if (r > 0) {
                got += static_cast<std::uint32_t>(r);
                last_progress = Clock::now();
                continue;
            }
        }
        if (ms_since(last_progress) > static_cast<std::int64_t>(input_timeout_))
            break;
        if (!device_.wait_readable(10) && CountRX() == 0)
            break;  // hung up with nothing left to read
    }
    ContinuePolling();
    return got;
}

bool TCommPortDriver::ReadByte(std::uint8_t& value)
{
    return ReadData(&value, 1) == 1;
}

bool TCommPortDriver::ReadChar(char& value)
{
    return ReadData(&value, 1) == 1;
}

void TCommPortDriver::poll_tick()
{
    if (!Connected() || pause_count_ > 0)
        return;
    int waiting = device_.input_waiting();
    if (waiting <= 0)
        return;
    std::size_t want = std::min<std::size_t>(static_cast<std::size_t>(waiting), scratch_.size());
    // A failed read (EIO after the other side of a pseudo-terminal closed) or
    // an empty one delivers nothing this tick.
    long got = device_.read_some(scratch_.data(), want);
    if (got <= 0)
        return;
    // With no handler the bytes are read all the same, and so discarded.
    // The handler must not replace OnReceiveData while it runs.
    if (OnReceiveData)
        OnReceiveData(this, scratch_.data(), static_cast<std::uint32_t>(got));
}

// --- queues and lines ----------------------------------------------------------

bool TCommPortDriver::FlushBuffers(bool in_buf, bool out_buf)
{
    if (!Connected())
        return false;
    return device_.purge(in_buf, out_buf);
}

std::uint32_t TCommPortDriver::CountRX() const
{
    if (!Connected())
        return kClosedCount;
    int n = device_.input_waiting();
    return n > 0 ? static_cast<std::uint32_t>(n) : 0;
}

std::uint16_t TCommPortDriver::OutFreeSpace() const
{
    if (!Connected())
        return static_cast<std::uint16_t>(kClosedCount);
    // A device that cannot tell its output queue is taken as drained; the
    // write itself then reports whether the bytes went.
    int queued = std::max(device_.output_waiting(), 0);
    std::uint32_t q = static_cast<std::uint32_t>(queued);
    std::uint32_t free_space = out_buf_size_ > q ? out_buf_size_ - q : 0;
    return static_cast<std::uint16_t>(std::min(free_space, kClosedCount));
}

TLineStatusSet TCommPortDriver::GetLineStatus() const
{
    TLineStatusSet s;
    unsigned lines = 0;
    if (!Connected() || !device_.modem_status(lines))
        return s;
    if (lines & kModemCTS)
        s.insert(lsCTS);
    if (lines & kModemDSR)
        s.insert(lsDSR);
    if (lines & kModemRING)
        s.insert(lsRING);
    if (lines & kModemCD)
        s.insert(lsCD);
    return s;
}

void TCommPortDriver::ToggleDTR(bool on)
{
    if (Connected())
        device_.set_dtr(on);
}

void TCommPortDriver::ToggleRTS(bool on)
{
    if (Connected())
        device_.set_rts(on);
}

}  // namespace lekta
