#pragma once
// The online window "Прием данных": a running test shown live. The result
// strip with five labels, the point table, the main chart F(Δ) with its Ft
// line, the extensometer chart with its F0.2 line, the "Информация" group
// and the status line. The window is the link protocol engine's view; the
// port, the timers and the engine are its LinkSession.
#include "online/link_interfaces.h"
#include "online/link_session.h"
#include "ui/dialogs.h"
#include "ui/graph_settings_target.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QAction;
class QProgressBar;
class QSplitter;

namespace lekta {

namespace ui {
class Chart;
class ChartSeries;
class Grid;
}  // namespace ui

class TForm2 : public QDialog, public LinkView, public ui::GraphSettingsTarget {
    Q_OBJECT
public:
    explicit TForm2(ui::Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm2() override;

    // Menu commands that later folders provide; the program entry wires them.
    struct Commands {
        std::function<void()> graph_parameters;  // "Настройки Графика": the graph parameters dialog
        std::function<void()> export_curve;  // "Экспорт": the curve into a workbook
        std::function<void()> save_picture;  // "Сохранить График в  Файл"
        std::function<void()> print_chart;   // "Печать Графика"
    } commands;

    QMenuBar* MainMenu1;
    QMenu* N1;  // "Параметры"
    QAction *N2, *N3, *N5, *Gt1, *N4;

    QFrame* Panel3;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    QFrame* Panel1;
    ui::Grid* NextGrid1;
    QSplitter* Splitter1;
    QFrame* Panel4;
    ui::Chart* Chart1;
    ui::ChartSeries* Series1;  // F(H Δ)
    ui::ChartSeries* Series2;  // Ft line
    QFrame* Panel2;
    ui::Chart* Chart2;
    ui::ChartSeries* LineSeries1;      // F(H Δe)
    ui::ChartSeries* FastLineSeries1;  // F0.2 line
    QLabel* StaticText2;               // status line
    QProgressBar* ProgressBar1;
    QGroupBox* GroupBox1;
    QLabel *StaticText4, *StaticText5;  // "Тип прибора:"
    QLabel *StaticText3, *StaticText1;  // "Версия ПО:"
    QLabel *StaticText6, *StaticText7;  // "Количество записей:"
    QCheckBox* CheckBox1;
    // The picture of Chart1 is saved through this dialog.
    ui::FileDialog SavePictureDialog1;

    LinkSession& session() { return *session_; }
    TCommPortDriver& CommPortDriver1() { return session_->CommPortDriver1(); }
    WindowTimer& Timer1() { return session_->Timer1(); }
    WindowTimer& Timer2() { return session_->Timer2(); }
    WindowTimer& Timer3() { return session_->Timer3(); }

    // What the way in resets before a run: the online command empties the
    // point table; it and the port dialog empty the main chart's curve and
    // Ft line, the online command also puts Chart1's upper limits back to
    // 50 mm and 20 kN.
    void clear_point_table();
    void clear_main_curves(bool reset_limits);

    // Handlers, callable from tests as the window calls them.
    void FormShow();
    void FormClose();
    void N2Click();   // "Настройки Графика"
    void N3Click();   // "Экспорт"
    void N5Click();   // "Сохранить График в  Файл"
    void Gt1Click();  // "Печать Графика"
    void N4Click();   // "Выход"

    // The line width of the load curve for a setting text: its whole number,
    // or 3 when the text is not one (the empty setting of a first run too).
    static int line_width_of(const QString& setting);

    // The parameters dialog's width and colours, for the load curve and the
    // Ft line of the main chart (the offset is the graph window's only).
    int curve_line_width() const override;
    void apply_line_settings(int width, std::int32_t colour_f, std::int32_t colour_ft) override;

    // --- the engine's view ---------------------------------------------
    void set_extensometer_chart_visible(bool visible) override;
    void set_main_chart_title(const std::string& text) override;
    void set_label(int index, const std::string& text) override;
    void set_record_count_text(const std::string& text) override;
    void add_points(LinkSeries series, const std::vector<LinkPoint>& points) override;
    SeriesExtent extent(LinkSeries series) const override;
    double bottom_minimum(LinkChart chart) const override;
    double bottom_maximum(LinkChart chart) const override;
    void set_bottom_minimum(LinkChart chart, double value) override;
    void set_bottom_maximum(LinkChart chart, double value) override;
    void set_left_minimum(LinkChart chart, double value) override;
    void set_left_maximum(LinkChart chart, double value) override;
    void set_manual_left_minimum_bottom_maximum(LinkChart chart) override;
    void add_rows(const std::vector<PointRow>& rows) override;
    void unit_not_found() override;
    void link_lost() override;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void build_menu();
    void build_charts();
    void run(const std::function<void()>& handler);
    ui::Chart* chart(LinkChart which) const;
    ui::ChartSeries* series(LinkSeries which) const;

    ui::Dialogs& dialogs_;
    std::unique_ptr<LinkSession> session_;
    bool closing_ = false;
};

}  // namespace lekta
