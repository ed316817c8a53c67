#pragma once
// What the link protocol engine needs from the world around it: the serial
// port, three window timers and the parts of the online window it changes.
// The online window implements them over the serial port object, QTimer and
// its charts and point table; tests implement them with fakes.
#include <string>
#include <vector>

namespace lekta {

// The serial port the unit is attached to.
class LinkPort {
public:
    virtual ~LinkPort() = default;
    // Device name ("\\.\COM5", "/dev/pts/3"); changeable only while closed.
    virtual void set_port_name(const std::string& name) = 0;
    virtual std::string port_name() const = 0;
    // Opens the port; true at once when it is already open.
    virtual bool connect() = 0;
    virtual void disconnect() = 0;
    // Writes one command byte.
    virtual bool send_char(char16_t c) = 0;
};

// A window timer. It counts as stopped when it is disabled or its interval is 0.
class LinkTimer {
public:
    virtual ~LinkTimer() = default;
    // Enables the timer with this interval; the next tick comes interval_ms from now.
    virtual void start(int interval_ms) = 0;
    virtual void stop() = 0;
    // Enabled and interval > 0.
    virtual bool running() const = 0;
    // Changes the interval without enabling or disabling the timer.
    virtual void set_interval(int interval_ms) = 0;
    virtual int interval() const = 0;
};

// The two charts of the online window: the main live chart of load against
// machine travel (the window's Chart1) and the extensometer chart (Chart2,
// on Panel2).
enum class LinkChart { Main, Extensometer };

// The load curve and the Ft line of the main chart (the window's Series1 and
// Series2); the extensometer curve and the F0.2 line of the extensometer
// chart (LineSeries1 and FastLineSeries1).
enum class LinkSeries { LoadCurve, FtLine, ExtensometerCurve, F02Line };

struct LinkPoint {
    double x = 0;
    double y = 0;
    bool operator==(const LinkPoint&) const = default;
};

// Smallest and largest X and Y over all points of a series; all 0 when it is empty.
struct SeriesExtent {
    double min_x = 0;
    double max_x = 0;
    double min_y = 0;
    double max_y = 0;
};

// One row of the point table: load F, deformation H Δ and, when the unit
// had an extensometer reading, H Δe (empty otherwise, and not filled).
struct PointRow {
    std::string f;
    std::string h;
    std::string he;
    bool has_he = false;
};

// The parts of the online window the engine changes.
class LinkView {
public:
    virtual ~LinkView() = default;

    // Shows or hides the extensometer chart (the window's Panel2).
    virtual void set_extensometer_chart_visible(bool visible) = 0;
    // The main chart's title (the window's Chart1).
    virtual void set_main_chart_title(const std::string& text) = 0;
    // Label1 … Label5 of the result strip; index 1 to 5.
    virtual void set_label(int index, const std::string& text) = 0;
    // StaticText7, the value beside "Количество записей:".
    virtual void set_record_count_text(const std::string& text) = 0;

    // Appends the points, in order, after the series' existing points. The
    // engine gathers everything one response adds to a series into one call:
    // appending to a shown chart series point by point is quadratic.
    virtual void add_points(LinkSeries series, const std::vector<LinkPoint>& points) = 0;
    virtual SeriesExtent extent(LinkSeries series) const = 0;

    virtual double bottom_minimum(LinkChart chart) const = 0;
    virtual double bottom_maximum(LinkChart chart) const = 0;
    virtual void set_bottom_minimum(LinkChart chart, double value) = 0;
    virtual void set_bottom_maximum(LinkChart chart, double value) = 0;
    virtual void set_left_minimum(LinkChart chart, double value) = 0;
    virtual void set_left_maximum(LinkChart chart, double value) = 0;
    // Switches off the automatic minimum of the left axis and the automatic
    // maximum of the bottom axis.
    virtual void set_manual_left_minimum_bottom_maximum(LinkChart chart) = 0;

    // Appends the rows to the point table NextGrid1, one call per response.
    virtual void add_rows(const std::vector<PointRow>& rows) = 0;

    // The identification has gone unanswered for kSilentRetryLimit retries:
    // the window says "Прибор не обнаружен! …" and closes with the cancel result.
    virtual void unit_not_found() = 0;
    // The dialogue ended without the unit's 'V' or 'E' (it fell silent, the
    // port failed): the window says the link was lost and keeps what it shows.
    virtual void link_lost() = 0;
};

}  // namespace lekta
