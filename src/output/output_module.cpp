// Spreadsheet export and printing build on the catalogue and the graph
// window; this unit keeps the library target in place until they arrive.
namespace lekta::output {
const char* module_name() { return "output"; }
}
