// The instrument's electronic unit on a pseudo-terminal: prints the port's
// device path and answers the workstation's 'Z' and 'D' as a unit does.
#include "lib/pseudo_terminal.h"
#include "lib/unit_curve.h"
#include "lib/unit_protocol.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

namespace {

std::atomic<bool> g_stop{false};

void on_signal(int)
{
    g_stop = true;
}

void usage()
{
    std::cerr << "usage: lekta_unit_sim [--type Y|Z] [--points N] [--file TEST.bmd] [--link PATH]\n"
                 "                      [--silent-after K] [--end-after K]\n"
                 "                      [--malformed "
                 "odd-length|no-t|t-before-s|bad-pair|count-past-block\n"
                 "                       --malformed-at K] [--split] [--exit-after-v] [--log]\n"
                 "                      [--flood BYTES --flood-at K] [--slow MS --slow-at K]\n";
}

int number(const char* text, const char* option)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < 0 || v > 100'000'000) {
        std::cerr << "lekta_unit_sim: " << option << " needs a number, not \"" << text << "\"\n";
        std::exit(2);
    }
    return static_cast<int>(v);
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace lekta::tools;
    UnitOptions options;
    std::string file, link;
    bool log = false;

    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::cerr << "lekta_unit_sim: " << a << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--type") {
            const std::string t = value();
            if (t != "Y" && t != "Z") {
                usage();
                return 2;
            }
            options.type = t == "Y" ? UnitType::Y : UnitType::Z;
        } else if (a == "--points") {
            options.points_per_response = static_cast<std::size_t>(number(value(), "--points"));
        } else if (a == "--file") {
            file = value();
        } else if (a == "--link") {
            link = value();
        } else if (a == "--silent-after") {
            options.silent_after = number(value(), "--silent-after");
        } else if (a == "--end-after") {
            options.end_after = number(value(), "--end-after");
        } else if (a == "--malformed") {
            const auto kind = parse_malformation(value());
            if (!kind) {
                usage();
                return 2;
            }
            options.malformed = *kind;
        } else if (a == "--malformed-at") {
            options.malformed_at = number(value(), "--malformed-at");
        } else if (a == "--flood") {
            options.flood_bytes = static_cast<std::size_t>(number(value(), "--flood"));
        } else if (a == "--flood-at") {
            options.flood_at = number(value(), "--flood-at");
        } else if (a == "--slow") {
            options.slow_ms = number(value(), "--slow");
        } else if (a == "--slow-at") {
            options.slow_at = number(value(), "--slow-at");
        } else if (a == "--split") {
            options.split = true;
        } else if (a == "--exit-after-v") {
            options.exit_after_v = true;
        } else if (a == "--log") {
            log = true;
        } else if (a == "--help" || a == "-h") {
            usage();
            return 0;
        } else {
            usage();
            return 2;
        }
    }

    try {
        const bool extensometer = options.type == UnitType::Y;
        UnitCurve curve = file.empty() ? synthetic_curve(extensometer)
                                       : curve_from_file(file, extensometer);
        UnitSession session(std::move(curve), options);

        PseudoTerminal pty;
        if (!link.empty())
            pty.make_link(link);

        struct sigaction sa {};
        sa.sa_handler = on_signal;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGINT, &sa, nullptr);
        std::signal(SIGPIPE, SIG_IGN);

        std::cout << pty.slave_path() << std::endl;
        serve_unit(pty, session, g_stop, log ? &std::cerr : nullptr);
    } catch (const std::exception& e) {
        std::cerr << "lekta_unit_sim: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
