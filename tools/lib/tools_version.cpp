// Keeps the tools library non-empty while its parts are added one by one.
namespace lekta::tools {
const char* tools_name() { return "lekta tools"; }
}
