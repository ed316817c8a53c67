#include "app/main_form.h"

#include "app/about.h"
#include "app/catalogue_columns.h"
#include "app/catalogue_loader.h"
#include "app/catalogue_ops.h"
#include "app/delete_form.h"
#include "app/icons.h"
#include "app/port_library.h"
#include "app/settings_store.h"
#include "app/shell_state.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"
#include "ui/guarded_connect.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>

namespace lekta {

TForm1::TForm1(MainFormOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options))
{
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("ЛЕКТА-ЗИВ8"));
    resize(1130, 442);
    help_file_ = options_.help_file;

    NextGrid1 = new ui::Grid(this);
    NextGrid1->setObjectName("NextGrid1");
    NextGrid1->SetHeaderHeight(45);
    NextGrid1->setStyleSheet(
        "QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 "
        "#f4f8fd, "
        "stop:0.5 #dde8f5, stop:1 #c8d9ee); border: 0px; border-right: 1px solid #9eb6ce; "
        "border-bottom: 1px solid #9eb6ce; padding: 1px; color: #15428b; }"
        "QTableView { gridline-color: #c0c0c0; selection-background-color: #316ac5; }");
    add_catalogue_columns(*NextGrid1);
    setCentralWidget(NextGrid1);
    ui::connect_guarded(NextGrid1, &ui::Grid::RowDoubleClicked, this, &TForm1::NextGrid1DblClick);

    build_menu();
    build_toolbar();

    // Hidden items keep their shortcuts.
    auto* create_key = new QShortcut(QKeySequence("Ctrl+N"), this);
    ui::connect_guarded(create_key, &QShortcut::activated, this, &TForm1::N2Click);
    auto* save_key = new QShortcut(QKeySequence("Ctrl+S"), this);
    ui::connect_guarded(save_key, &QShortcut::activated, this,
                        [] { /* "Сохранить": no data file to save */ });

    ui::guarded([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::run(const std::function<void()>& command)
{
    if (command)
        ui::guarded(command);
}

void TForm1::build_menu()
{
    auto item = [this](QMenu* menu, QAction*& action, const char* name, const char* caption,
                       int icon, const char* shortcut, bool visible,
                       std::function<void()> handler) {
        action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(name);
        if (icon >= 0)
            action->setIcon(image_list_icon(icon));
        if (shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        action->setVisible(visible);
        if (handler)
            ui::connect_guarded(action, &QAction::triggered, this, handler);
    };
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("Файл"));
    item(file, N2, "N2", "Создать", 0, "Ctrl+N", false, [this] { N2Click(); });
    item(file, N3, "N3", "Открыть каталог", 1, "Ctrl+O", true, [this] { N3Click(); });
    item(file, N4, "N4", "Обновить", -1, nullptr, true, [this] { N4Click(); });
    item(file, N5, "N5", "Сохранить", 2, "Ctrl+S", false, nullptr);
    item(file, N7, "N7", "Закрыть", -1, nullptr, false, nullptr);
    file->addSeparator();
    item(file, N40, "N40", "Он-лайн", -1, nullptr, true, [this] { run(commands.online); });
    item(file, N39, "N39", "Рабочий каталог", -1, nullptr, true, [this] { N39Click(); });
    item(file, N8, "N8", "Предварительный просмотр", 3, nullptr, false, nullptr);
    item(file, N9, "N9", "Печать", 4, "Ctrl+P", true, [this] { run(commands.print); });
    file->addSeparator();
    item(file, N11, "N11", "Выход", -1, nullptr, true, [this] { N11Click(); });

    QMenu* view = bar->addMenu(QStringLiteral("Вид"));
    item(view, N27, "N27", "Выровнять столбцы", -1, nullptr, true, [this] { N23Click(); });
    view->addSeparator();
    item(view, N29, "N29", "Задать цвет", -1, nullptr, false, nullptr);
    item(view, N30, "N30", "Убрать цвет", -1, nullptr, false, nullptr);
    item(view, N31, "N31", "Убрать все цвета", -1, nullptr, false, nullptr);
    view->addSeparator();
    item(view, N33, "N33", "Убрать сортировку", -1, nullptr, false, nullptr);

    QMenu* edit = bar->addMenu(QStringLiteral("Правка"));
    item(edit, N34, "N34", "Удалить строки или файлы", 6, nullptr, true, [this] { N34Click(); });

    QMenu* service = bar->addMenu(QStringLiteral("Сервис"));
    item(service, Excel1, "Excel1", "Экспорт в Excel", -1, nullptr, true,
         [this] { run(commands.export_excel); });
    item(service, N37, "N37", "Перенумеровать строки", -1, nullptr, false, nullptr);
    item(service, N36, "N36", "Построить график", -1, nullptr, true,
         [this] { NextGrid1DblClick(); });
    item(service, N41, "N41", "Параметры графика", -1, nullptr, true, [this] { N41Click(); });
    item(service, N42, "N42", "Построение графиков", -1, nullptr, true, [this] { N42Click(); });

    QMenu* help = bar->addMenu(QStringLiteral("Справка"));
    item(help, N24, "N24", "Помощь", 5, "F1", true, [this] { N24Click(); });
    help->addSeparator();
    item(help, N26, "N26", "О программе", -1, nullptr, true, [this] { N26Click(); });

    // Catalogue commands wait for a catalogue (enable_button).
    for (QAction* a : {N4, N5, N7, N8, N9, N27, N29, N30, N31, N33, N34, N36, N37, N42, Excel1})
        a->setEnabled(false);
}

void TForm1::build_toolbar()
{
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setFixedHeight(29);
    auto button = [this](QToolButton*& b, const char* name, int icon, const char* hint,
                         bool visible, std::function<void()> handler) {
        b = new QToolButton(ToolBar1);
        b->setObjectName(name);
        b->setIcon(image_list_icon(icon));
        b->setToolTip(QString::fromUtf8(hint));
        b->setAutoRaise(true);
        QAction* holder = ToolBar1->addWidget(b);
        holder->setVisible(visible);
        if (handler)
            ui::connect_guarded(b, &QToolButton::clicked, this, handler);
    };
    button(ToolButton1, "ToolButton1", 0, "Создать", false, [this] { N2Click(); });
    button(ToolButton2, "ToolButton2", 1, "Открыть каталог", true, [this] { N3Click(); });
    button(ToolButton3, "ToolButton3", 2, "Рабочий каталог", true, [this] { N39Click(); });
    button(ToolButton4, "ToolButton4", 3, "Предварительный просмотр", false, nullptr);
    button(ToolButton5, "ToolButton5", 4, "Печать", true, [this] { run(commands.print); });
    button(ToolButton6, "ToolButton6", 5, "Помощь", true, [this] { ToolButton6Click(); });
    for (QToolButton* b : {ToolButton3, ToolButton4, ToolButton5})
        b->setEnabled(false);
}

void TForm1::FormCreate()
{
    ShellState& s = shell();
    load_port_library(options_.port_library_path);  // a failure ends the creation here

    s.extensometer_columns = 0;
    setWindowState(windowState() | Qt::WindowMaximized);

    const QString kvt = QDir(options_.program_dir).filePath("kvt.hlp");
    if (!options_.program_dir.isEmpty() && QFileInfo::exists(kvt))
        help_file_ = kvt;

    store_ = options_.open_settings ? options_.open_settings()
                                    : std::make_unique<QtSettingsStore>();
    read_settings(*store_, *options_.dialogs);

    open_dialog_dir_ = s.default_dir;
    load_fil(*NextGrid1, *options_.dialogs, s.working_dir);
    enable_button();
    created_ = true;
}

void TForm1::enable_button()
{
    for (QAction* a : {N4, N5, N7, N8, N9, N27, N29, N30, N31, N33, N34, N36, N37, N42, Excel1})
        a->setEnabled(true);
    for (QToolButton* b : {ToolButton3, ToolButton4, ToolButton5})
        b->setEnabled(true);
}

void TForm1::FormClose()
{
    if (store_)
        write_settings(*store_);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    ui::guarded([this] { FormClose(); });
    event->accept();
}

void TForm1::N2Click()
{
    ui::FileDialog fd;
    fd.filter = QStringLiteral("Файлы данных|*.db");
    fd.filter_index = 1;
    fd.default_ext = QStringLiteral(".db");
    fd.initial_dir = open_dialog_dir_;
    const auto name = options_.dialogs->save_file(fd);
    if (!name || name->isEmpty())
        return;
    // The online window opens; a data file would be marked open after an OK
    // result, but nothing is ever written to it.
    if (commands.show_online_modal && commands.show_online_modal() == 1)
        data_file_open_ = true;
}

void TForm1::N3Click()
{
    if (shell().buffer_busy)
        return;
    const QString folder = choose_folder(*options_.dialogs, QStringLiteral("\\\\"));
    load_fil(*NextGrid1, *options_.dialogs, as_directory(folder));
}

void TForm1::N4Click()
{
    if (shell().buffer_busy)
        return;
    load_fil(*NextGrid1, *options_.dialogs, shell().catalogue_dir);
}

void TForm1::N39Click()
{
    ShellState& s = shell();
    if (!store_)
        return;  // the start failed before the settings were opened
    s.working_dir = store_->contains("WorkDir") ? store_->read("WorkDir") : QStringLiteral("/");
    const QString folder = choose_folder(*options_.dialogs, as_directory(s.working_dir));
    s.working_dir = as_directory(folder);
    if (!store_->write("WorkDir", s.working_dir))
        ui::show_error(settings_write_error(*store_));
}

void TForm1::N11Click()
{
    if (store_)
        write_settings(*store_);
    QCoreApplication::exit(0);
}

void TForm1::N24Click()
{
    // The compiled help "lekta.chm", by its bare name as the operator's
    // shortcut starts the program from its own folder; the application's
    // help file when that is not there.
    QString chm = QStringLiteral("lekta.chm");
    if (!QFileInfo::exists(chm) && !options_.program_dir.isEmpty())
        chm = QDir(options_.program_dir).filePath("lekta.chm");
    const QString target = QFileInfo::exists(chm) ? chm : help_file_;
    if (!QFileInfo::exists(target) ||
        !options_.dialogs->open_document(QFileInfo(target).absoluteFilePath()))
        ui::show_message(*options_.dialogs,
                         QStringLiteral("Не удалось открыть файл справки ") + target);
}

void TForm1::ToolButton6Click()
{
    if (!QFileInfo::exists(help_file_) ||
        !options_.dialogs->open_document(QFileInfo(help_file_).absoluteFilePath()))
        ui::show_message(*options_.dialogs,
                         QStringLiteral("Не удалось открыть файл справки ") + help_file_);
}

void TForm1::NextGrid1DblClick()
{
    open_for_graph(*NextGrid1, *options_.dialogs, commands.start_graph_worker);
}

void TForm1::N34Click()
{
    if (shell().buffer_busy)
        return;
    const int choice = commands.ask_delete_choice ? commands.ask_delete_choice() : kDeleteCancel;
    delete_rows_or_files(*NextGrid1, *options_.dialogs, choice);
}

void TForm1::N23Click()
{
    align_columns(*NextGrid1);
}

void TForm1::N41Click()
{
    // The dialog rebuilds the graph window's curve: not while a loader fills it.
    if (shell().buffer_busy)
        return;
    run(commands.graph_parameters);
}

void TForm1::N42Click()
{
    // The series passes through the test buffer: not while a loader reads it.
    if (shell().buffer_busy)
        return;
    run(commands.series);
}

void TForm1::set_buffer_busy(bool busy)
{
    shell().buffer_busy = busy;
    for (QAction* a : {N3, N4, N36, N34, N41, N42})
        a->setEnabled(!busy && (a == N3 || a == N41 || created_));
    ToolButton2->setEnabled(!busy);
    NextGrid1->setEnabled(!busy);
}

void TForm1::N26Click()
{
    if (about_)
        about_->exec();
}

}  // namespace lekta
