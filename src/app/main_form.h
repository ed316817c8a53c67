#pragma once
// The main window: toolbar, menu and the catalogue of tests.
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

class QAction;
class QToolBar;
class QToolButton;

namespace lekta {

namespace ui {
class Dialogs;
class Grid;
}  // namespace ui
class SettingsStore;
class Tform6;

struct MainFormOptions {
    ui::Dialogs* dialogs = nullptr;
    std::function<std::unique_ptr<SettingsStore>()> open_settings;  // the settings key, opened once
    QString port_library_path;  // the port-lookup library (program_files.h finds it)
    QString program_dir;        // where "kvt.hlp" is looked for
    QString help_file;          // the application's help file set at start-up
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(MainFormOptions options, QWidget* parent = nullptr);
    ~TForm1() override;

    // Commands that later windows provide; the program entry wires them.
    struct Commands {
        std::function<int()> show_online_modal;  // returns the modal result
        std::function<void()> online;            // "Он-лайн"
        std::function<void()> print;             // "Печать"
        std::function<int()> ask_delete_choice;  // the delete dialog; its choice
        std::function<void()> export_excel;      // "Экспорт в Excel"
        std::function<void()>
            start_graph_worker;  // the graph window's loader, once the buffer holds a test
        std::function<void()> graph_parameters;  // "Параметры графика"
        std::function<void()> series;            // "Построение графиков"
    } commands;

    void set_about_box(Tform6* about) { about_ = about; }

    ui::Grid* NextGrid1;
    QToolBar* ToolBar1;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton4, *ToolButton5, *ToolButton6;
    QAction *N2, *N3, *N4, *N5, *N7, *N40, *N39, *N8, *N9, *N11;
    QAction *N27, *N29, *N30, *N31, *N33, *N34, *Excel1, *N37, *N36, *N41, *N24, *N26;
    QAction* N42 = nullptr;  // "Построение графиков": a series on one chart

    // Handlers, callable from tests as the menu calls them.
    void N2Click();
    void N3Click();
    void N4Click();
    void N39Click();
    void N11Click();
    void N24Click();
    void ToolButton6Click();
    void N26Click();
    void NextGrid1DblClick();  // also "Построить график"
    void N34Click();           // "Удалить строки или файлы"
    void N23Click();           // "Выровнять столбцы"
    void N41Click();           // "Параметры графика"
    void N42Click();           // "Построение графиков"
    void enable_button();

    // While the graph window's loader reads the test buffer, the commands
    // that would refill it or move the opened row are refused and shown
    // disabled, and the catalogue takes no input.
    void set_buffer_busy(bool busy);

    bool data_file_open() const { return data_file_open_; }
    const QString& open_dialog_dir() const { return open_dialog_dir_; }
    const QString& help_file() const { return help_file_; }
    bool created() const { return created_; }
    SettingsStore* settings() const { return store_.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void build_menu();
    void build_toolbar();
    void run(const std::function<void()>& command);

    MainFormOptions options_;
    std::unique_ptr<SettingsStore> store_;
    Tform6* about_ = nullptr;
    QString help_file_;
    QString open_dialog_dir_;  // OpenDialog1 and SaveDialog1 start here
    bool data_file_open_ = false;
    bool created_ = false;
};

}  // namespace lekta
