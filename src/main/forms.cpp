#include "main/forms.h"

#include "app/about.h"
#include "app/delete_form.h"
#include "app/logo.h"
#include "app/main_form.h"
#include "app/program_files.h"
#include "app/settings_store.h"
#include "ui/dialogs.h"
#include "graph/graf.h"
#include "graph/graph_parameters.h"
#include "graph/open_progress.h"
#include "graph/series_selector.h"
#include "app/port_library.h"
#include "online/online_command.h"
#include "online/port_dialog.h"
#include "online/receive.h"
#include "output/catalogue_export.h"
#include "output/curve_export.h"
#include "output/export_progress.h"
#include "output/text_table.h"
#include "app/shell_state.h"
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
    f.Form1->commands.show_online_modal = [form2 = f.Form2] { return form2->exec() == QDialog::Accepted ? 1 : 2; };
    f.Form1->commands.online = [form2 = f.Form2, form10 = f.Form10, &dialogs] {
        N40Click({dialogs, *form2, *form10, [] { return find_instrument_ports(); }, {}, {}, {}});
    };
    f.Form2->commands.graph_parameters = [form11 = f.Form11] { form11->exec(); };
    f.Form2->commands.export_curve = [form2 = f.Form2, &dialogs] {
        const output::GridTexts table(*form2->NextGrid1);
        const LinkState& link = form2->session().protocol().state();
        output::N3Click(output::OnlineExportSource{table, link.Ft, link.F02}, {shell().default_dir, &dialogs, {}});
    };
    f.Form1->commands.ask_delete_choice = [form8 = f.Form8] { return form8->ask(); };
    f.Form1->commands.export_excel = [form1 = f.Form1, form9 = f.Form9, &dialogs] {
        // The default directory is read when the command runs: the settings may have changed it.
        output::Excel1Click(output::GridTexts(*form1->NextGrid1), *form9, {shell().default_dir, &dialogs, {}});
    };

    if (show_splash)
        f.Form5->exec();
    delete f.Form5;
    f.Form5 = nullptr;
    return f;
}

}  // namespace lekta
