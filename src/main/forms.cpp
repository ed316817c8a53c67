#include "main/forms.h"

#include "app/about.h"
#include "app/delete_form.h"
#include "app/logo.h"
#include "app/main_form.h"
#include "app/port_library.h"
#include "app/program_files.h"
#include "app/settings_store.h"
#include "app/shell_state.h"
#include "chart/chart.h"
#include "graph/graf.h"
#include "graph/graph_parameters.h"
#include "graph/graph_worker.h"
#include "graph/open_progress.h"
#include "online/online_command.h"
#include "online/port_dialog.h"
#include "online/receive.h"
#include "output/catalogue_export.h"
#include "output/curve_export.h"
#include "output/export_progress.h"
#include "output/printing.h"
#include "output/series_export.h"
#include "output/series_print.h"
#include "output/text_table.h"
#include "series/series_command.h"
#include "series/series_selector.h"
#include "series/series_window.h"
#include "ui/dialogs.h"
#include "ui/grid.h"

#include <QCoreApplication>
#include <QDialog>

namespace lekta {

Forms create_forms(ui::Dialogs& dialogs, bool show_splash)
{
    Forms f;
    MainFormOptions options;
    options.dialogs = &dialogs;
    options.program_dir = QCoreApplication::applicationDirPath();
    const ProgramFiles files = locate_program_files(compiled_layout(options.program_dir));
    options.port_library_path = files.port_library;
    options.help_file = files.help_file;
    options.open_settings = [] { return std::make_unique<QtSettingsStore>(); };

    f.Form1 = new TForm1(options);
    dialogs.set_parent(f.Form1);
    f.Form2 = new TForm2(dialogs, f.Form1);
    f.Form3 = new TForm3(f.Form1);
    f.Form4 = new TForm4(f.Form1);
    f.Form5 = new TForm5();
    f.form6 = new Tform6(f.Form1);
    f.Form7 = new TForm7(f.Form1);
    f.Form8 = new TForm8(f.Form1);
    f.Form9 = new TForm9(f.Form1);
    f.Form10 = new TForm10(dialogs, *f.Form2, f.Form1);
    f.Form11 = new TForm11(f.Form1);

    f.Form1->set_about_box(f.form6);
    f.Form1->commands.show_online_modal = [form2 = f.Form2] {
        return form2->exec() == QDialog::Accepted ? 1 : 2;
    };
    f.Form1->commands.online = [form2 = f.Form2, form10 = f.Form10, &dialogs] {
        N40Click({dialogs, *form2, *form10, [] { return find_instrument_ports(); }, {}, {}, {}});
    };
    f.Form2->commands.graph_parameters = [form2 = f.Form2, form11 = f.Form11] {
        ui::exec_over(*form11, form2);
    };
    f.Form2->commands.export_curve = [form2 = f.Form2, &dialogs] {
        const output::GridTexts table(*form2->NextGrid1);
        const LinkState& link = form2->session().protocol().state();
        output::N3Click(output::OnlineExportSource{table, link.Ft, link.F02},
                        {shell().default_dir, &dialogs, {}});
    };
    f.Form1->commands.ask_delete_choice = [form8 = f.Form8] { return form8->ask(); };
    f.Form1->commands.export_excel = [form1 = f.Form1, form9 = f.Form9, &dialogs] {
        // The default directory is read when the command runs: the settings may have changed it.
        output::Excel1Click(output::GridTexts(*form1->NextGrid1), *form9,
                            {shell().default_dir, &dialogs, {}});
    };

    f.Form1->commands.print = [form1 = f.Form1, &dialogs] {
        output::N9Click(*form1->NextGrid1, dialogs);
    };

    // Opening a test: the loader fills the graph window from the catalogue's
    // opened row; both parameter commands show the same dialog.
    f.Form3->set_catalogue(f.Form1->NextGrid1);
    f.Form3->set_parameters_dialog(f.Form11);
    f.Form11->add_target(f.Form2);
    f.Form11->add_target(f.Form3);
    f.Form11->set_dialogs(&dialogs);
    // The picture dialog opens in the default directory, as the graph window's does.
    f.Form2->commands.save_picture = [form2 = f.Form2, &dialogs] {
        ui::FileDialog d = form2->SavePictureDialog1;
        d.initial_dir = shell().default_dir;
        output::save_chart_picture(*form2->Chart1, d, dialogs);
    };
    f.Form2->commands.print_chart = [form2 = f.Form2, &dialogs] {
        output::print_chart(*form2->Chart1, dialogs);
    };
    f.Form1->commands.start_graph_worker = [form1 = f.Form1, form3 = f.Form3, form7 = f.Form7] {
        MY::launch({form1, form3, form7});
    };
    f.Form1->commands.graph_parameters = [form1 = f.Form1, form11 = f.Form11] {
        ui::exec_over(*form11, form1);
    };
    f.Form3->on_export = [form3 = f.Form3, &dialogs] {
        const output::GridTexts table(*form3->NextGrid1);
        output::N3Click(output::GraphExportSource{table, form3->title_line(), form3->ft_level(),
                                                  form3->f02_level(), form3->curve_results()},
                        {shell().default_dir, &dialogs, {}});
    };
    f.Form3->on_save_picture = [form3 = f.Form3, &dialogs] {
        output::save_graph_picture(*form3->Chart1, dialogs, shell().default_dir);
    };
    f.Form3->on_print_chart = [form3 = f.Form3, &dialogs] {
        output::print_chart(*form3->Chart1, dialogs);
    };

    // A series on one chart: the selector, the loader with the progress
    // window, then a series window of its own for each command.
    f.Form1->commands.series = [form1 = f.Form1, form4 = f.Form4, form7 = f.Form7, &dialogs] {
        series::run_series_command(
            {form1, form4, form7, &dialogs, [&dialogs](TForm12& window) {
                 window.on_export = [w = &window, &dialogs] {
                     const series::DialogParent over(dialogs, w);
                     std::vector<std::int32_t> colours;
                     for (int i = 0; i < static_cast<int>(w->Tests().size()); ++i)
                         colours.push_back(w->Chart1->Series(i)->Color());
                     output::series_export_command(
                         {w->Table(), w->Tests(), w->View(), w->TitleText(), colours},
                         {shell().default_dir, &dialogs, {}});
                 };
                 window.on_print = [w = &window, &dialogs] {
                     const series::DialogParent over(dialogs, w);
                     output::print_series(*w, dialogs, output::printer());
                 };
             }});
    };

    if (show_splash)
        f.Form5->exec();
    delete f.Form5;
    f.Form5 = nullptr;
    return f;
}

}  // namespace lekta
