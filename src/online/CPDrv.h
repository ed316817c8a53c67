#pragma once
// The serial port object: owns one port, opens it by device name, configures
// the line, writes bytes and hands every received chunk to its owner through
// OnReceiveData. Reception is polled by a timer on the owner's thread; there
// is no reader thread. No operation throws: failures are boolean results.
#include "online/serial_device.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QTimer;

namespace lekta {

enum TBaudRate : int {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum TPortNumber : int {
    pnCustom,
    pnCOM1,
    pnCOM2,
    pnCOM3,
    pnCOM4,
    pnCOM5,
    pnCOM6,
    pnCOM7,
    pnCOM8,
    pnCOM9,
    pnCOM10,
    pnCOM11,
    pnCOM12,
    pnCOM13,
    pnCOM14,
    pnCOM15,
    pnCOM16
};
enum TDataBits : int { db5BITS, db6BITS, db7BITS, db8BITS };
enum TStopBits : int { sb1BITS, sb1HALFBITS, sb2BITS };
enum TParity : int { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum THwFlowControl : int { hfNONE, hfNONERTSON, hfRTSCTS };
enum TSwFlowControl : int { sfNONE, sfXONXOFF };
enum TPacketMode : int { pmDiscard, pmPass };
enum TLineStatus : int { lsCTS, lsDSR, lsRING, lsCD };

// A set of modem status lines.
class TLineStatusSet {
public:
    constexpr TLineStatusSet() = default;
    constexpr bool contains(TLineStatus s) const { return (bits_ >> s) & 1u; }
    constexpr void insert(TLineStatus s) { bits_ |= 1u << s; }
    constexpr void erase(TLineStatus s) { bits_ &= ~(1u << s); }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr unsigned bits() const { return bits_; }
    constexpr bool operator==(const TLineStatusSet&) const = default;

private:
    unsigned bits_ = 0;
};

// Bit/s of a named rate; 0 for brCustom.
std::uint32_t baud_rate_value(TBaudRate rate);

class TCommPortDriver : public QObject {
    Q_OBJECT
public:
    // Sender, the received bytes (valid only during the call: they live in the
    // object's scratch buffer and are overwritten by the next delivery), count.
    using TReceiveDataEvent =
        std::function<void(TCommPortDriver* sender, const unsigned char* data, std::uint32_t size)>;

    explicit TCommPortDriver(QObject* parent = nullptr);
    ~TCommPortDriver() override;

    // Called with each received chunk on the thread the object lives in; never with 0 bytes.
    TReceiveDataEvent OnReceiveData;

    // --- settings ---------------------------------------------------------
    // pnCustom means PortName is used unchanged; a number n (while closed)
    // sets PortName to "\\.\COMn". Ignored while open.
    TPortNumber Port() const { return port_; }
    void SetPort(TPortNumber value);
    // Device name; changeable only while closed; setting it sets Port to pnCustom.
    const QString& PortName() const { return port_name_; }
    void SetPortName(const QString& value);

    // A named rate also sets BaudRateValue; BaudRateValue sets BaudRate to
    // brCustom. Line settings changed while open are applied at once.
    TBaudRate BaudRate() const { return baud_rate_; }
    void SetBaudRate(TBaudRate value);
    std::uint32_t BaudRateValue() const { return baud_rate_value_; }
    void SetBaudRateValue(std::uint32_t value);
    TDataBits DataBits() const { return data_bits_; }
    void SetDataBits(TDataBits value);
    TStopBits StopBits() const { return stop_bits_; }
    void SetStopBits(TStopBits value);
    TParity Parity() const { return parity_; }
    void SetParity(TParity value);
    THwFlowControl HwFlow() const { return hw_flow_; }
    void SetHwFlow(THwFlowControl value);
    TSwFlowControl SwFlow() const { return sw_flow_; }
    void SetSwFlow(TSwFlowControl value);

    // Changeable only while closed, clamped to 128 ... 8192. InBufSize is also
    // the size of the receive scratch buffer (re-allocated, zero-filled).
    std::uint32_t InBufSize() const { return in_buf_size_; }
    void SetInBufSize(std::uint32_t value);
    std::uint32_t OutBufSize() const { return out_buf_size_; }
    void SetOutBufSize(std::uint32_t value);

    // Packet mode is not built: the settings are kept but have no effect, and
    // every received chunk goes to OnReceiveData. The system never turns it on.
    std::int16_t PacketSize() const { return packet_size_; }
    void SetPacketSize(std::int16_t value) { packet_size_ = value; }
    std::int32_t PacketTimeout() const { return packet_timeout_; }
    void SetPacketTimeout(std::int32_t value) { packet_timeout_ = value; }
    TPacketMode PacketMode() const { return packet_mode_; }
    void SetPacketMode(TPacketMode value) { packet_mode_ = value; }

    // Receive poll period in ms, at least 5; a change while open restarts the poll.
    std::uint16_t PollingDelay() const { return polling_delay_; }
    void SetPollingDelay(std::uint16_t value);
    bool EnableDTROnOpen() const { return enable_dtr_on_open_; }
    void SetEnableDTROnOpen(bool value) { enable_dtr_on_open_ = value; }
    // Give-up time (ms) of a write that makes no progress.
    std::uint16_t OutputTimeout() const { return output_timeout_; }
    void SetOutputTimeout(std::uint16_t value) { output_timeout_ = value; }
    // Give-up time (ms) of a blocking read that makes no progress.
    std::uint32_t InputTimeout() const { return input_timeout_; }
    void SetInputTimeout(std::uint32_t value) { input_timeout_ = value; }
    // Refuse to write while no modem status line is up.
    bool CheckLineStatus() const { return check_line_status_; }
    void SetCheckLineStatus(bool value) { check_line_status_ = value; }

    // --- operations -------------------------------------------------------
    // Opens PortName exclusively and configures the line; true when open
    // (at once, without reopening, when it already was).
    bool Connect();
    void Disconnect();
    bool Connected() const { return device_.is_open(); }
    // Descriptor of the open port, -1 while closed.
    int Handle() const { return device_.fd(); }

    // One byte: the low 8 bits of value; true when exactly one byte was written.
    bool SendChar(char16_t value);
    bool SendByte(std::uint8_t value);
    // Bytes written; SendData gives up after OutputTimeout ms without progress.
    std::uint32_t SendData(const void* data, std::uint32_t size);
    std::uint32_t SendDataEx(const void* data, std::uint32_t size, std::uint32_t timeout_ms);

    // Blocking read of up to max_size bytes, giving up after InputTimeout ms
    // without progress; the poll is paused meanwhile. Bytes read.
    std::uint32_t ReadData(void* data, std::uint32_t max_size);
    bool ReadByte(std::uint8_t& value);
    bool ReadChar(char& value);

    // Discards pending input and/or output; false on a closed port.
    bool FlushBuffers(bool in_buf, bool out_buf);
    // Bytes waiting in the input queue; 65535 when closed.
    std::uint32_t CountRX() const;
    // OutBufSize minus the bytes waiting to go out; 65535 when closed.
    std::uint16_t OutFreeSpace() const;
    // Modem status lines; empty when closed or when the device cannot tell.
    TLineStatusSet GetLineStatus() const;

    bool IsPolling() const { return pause_count_ <= 0; }
    void PausePolling() { ++pause_count_; }
    void ContinuePolling() { --pause_count_; }

    // Raise (true) or lower (false) DTR / RTS on an open port.
    void ToggleDTR(bool on);
    void ToggleRTS(bool on);

private:
    void poll_tick();
    bool apply_line_config();
    void line_setting_changed();

    SerialDevice device_;
    QTimer* poll_timer_ = nullptr;
    std::vector<unsigned char> scratch_;

    TPortNumber port_ = pnCOM2;
    QString port_name_ = QStringLiteral("\\\\.\\COM2");
    TBaudRate baud_rate_ = br9600;
    std::uint32_t baud_rate_value_ = 9600;
    TDataBits data_bits_ = db8BITS;
    TStopBits stop_bits_ = sb1BITS;
    TParity parity_ = ptNONE;
    THwFlowControl hw_flow_ = hfNONERTSON;
    TSwFlowControl sw_flow_ = sfNONE;
    std::uint32_t in_buf_size_ = 2048;
    std::uint32_t out_buf_size_ = 2048;
    std::int16_t packet_size_ = -1;
    std::int32_t packet_timeout_ = -1;
    TPacketMode packet_mode_ = pmDiscard;
    std::uint16_t polling_delay_ = 50;
    bool enable_dtr_on_open_ = true;
    std::uint16_t output_timeout_ = 500;
    std::uint32_t input_timeout_ = 200;
    bool check_line_status_ = false;
    std::int32_t pause_count_ = 0;
};

}  // namespace lekta
