#include "output/copy_store.h"

#include "output/spreadsheet_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lekta::output {

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw SpreadsheetError(text.toStdString());
}

QString system_text(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// Moves tmp to target unless target exists. 0, EEXIST or another errno.
int move_no_replace(const std::string& tmp, const std::string& target)
{
    if (::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    // Filesystems without the no-replace rename: a hard link refuses an
    // existing name as well.
    if (::link(tmp.c_str(), target.c_str()) == 0) {
        ::unlink(tmp.c_str());
        return 0;
    }
    if (errno == EEXIST)
        return EEXIST;
    // Neither (a memory stick's filesystem): look, then rename.
    if (exists(target))
        return EEXIST;
    return ::rename(tmp.c_str(), target.c_str()) == 0 ? 0 : errno;
}

}  // namespace

QString copy_file_name(const QString& base, int n)
{
    if (n <= 1)
        return base + ".xlsx";
    return base + " (" + QString::fromStdString(std::to_string(n)) + ").xlsx";
}

QString store_copy(const Workbook& book, const QString& default_dir, const QString& file_name,
                   const WriterOptions& options)
{
    QString base = file_name;
    QString dir = default_dir;
    if (const qsizetype slash = base.lastIndexOf('/'); slash >= 0) {
        const QString folder = base.left(slash);
        dir = QDir::isAbsolutePath(folder) || dir.isEmpty() ? folder : QDir(dir).filePath(folder);
        base = base.mid(slash + 1);
    }
    if (base.endsWith(".xlsx", Qt::CaseInsensitive))
        base.chop(5);
    if (base.isEmpty())
        fail(QStringLiteral("Книга не сохранена: не задано имя файла."));
    if (dir.isEmpty())
        fail(QStringLiteral("Книга не сохранена: папка по умолчанию не задана."));
    const QString shown_dir = QDir::toNativeSeparators(QDir::cleanPath(dir));
    const QFileInfo info(dir);
    if (!info.exists() || !info.isDir())
        fail(QStringLiteral("Книга не сохранена: папка по умолчанию «%1» не существует.")
                 .arg(shown_dir));

    const QDir folder(dir);
    std::string tmp = QFile::encodeName(folder.filePath("." + base + ".xlsx.XXXXXX")).toStdString();
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        const int e = errno;
        if (e == EACCES || e == EPERM || e == EROFS)
            fail(QStringLiteral("Книга не сохранена: в папку по умолчанию «%1» нельзя записать.")
                     .arg(shown_dir));
        fail(QStringLiteral("Книга не сохранена в папку «%1»: %2").arg(shown_dir, system_text(e)));
    }
    // mkstemp makes the file private; the copy is an ordinary document.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);

    try {
        write_xlsx(book, tmp, options);
        for (int n = 1; n <= 100000; ++n) {
            const QString path = folder.filePath(copy_file_name(base, n));
            const int e = move_no_replace(tmp, QFile::encodeName(path).toStdString());
            if (e == 0)
                return QDir::cleanPath(folder.absoluteFilePath(copy_file_name(base, n)));
            if (e != EEXIST)
                fail(QStringLiteral("Книга не сохранена в файл «%1»: %2")
                         .arg(QDir::toNativeSeparators(path), system_text(e)));
        }
        fail(QStringLiteral("Книга не сохранена: в папке «%1» нет свободного имени для «%2».")
                 .arg(shown_dir, base));
    } catch (...) {
        ::unlink(tmp.c_str());
        throw;
    }
}

}  // namespace lekta::output
