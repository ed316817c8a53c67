#include "support/test_support.h"

#include "common/number_text.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace lekta::testing {

TempDir::TempDir()
{
    std::string templ = (std::filesystem::temp_directory_path() / "lekta-test-XXXXXX").string();
    if (!::mkdtemp(templ.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Make everything removable again, in case a test took permissions away.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const
{
    return path_ + "/" + name;
}

void write_file(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::vector<unsigned char> read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool wait_until(const std::function<bool()>& pred, int timeout_ms)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeout_ms)
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void pump_events(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
}

ScopedSeparator::ScopedSeparator(std::string separator) : saved_(number_format().decimal_separator)
{
    number_format().decimal_separator = std::move(separator);
}

ScopedSeparator::~ScopedSeparator()
{
    number_format().decimal_separator = saved_;
}

ScopedCLocale::ScopedCLocale(const char* name)
{
    const char* current = std::setlocale(LC_ALL, nullptr);
    saved_ = current ? current : "C";
    ok_ = std::setlocale(LC_ALL, name) != nullptr;
}

ScopedCLocale::~ScopedCLocale()
{
    std::setlocale(LC_ALL, saved_.c_str());
}

std::string bin_dir()
{
    if (const char* d = std::getenv("LEKTA_BIN_DIR"))
        return d;
    return QCoreApplication::applicationDirPath().toStdString() + "/../bin";
}

}  // namespace lekta::testing
