// Any bytes as one of the small files the program keeps for the user: printing.json, the
// column mappings of columns.ini, the master's address in master.ini. Reading never fails
// hard; what is written back over a file keeps everything of it that was read (printing.json),
// comes back as it was written (columns.ini), and an address read is one that reads the same
// when written out again (master.ini). The first byte chooses the file.
#include <stdlib.h>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ColumnMapping.h"
#include "IniFile.h"
#include "MasterLocation.h"
#include "PrintingSettings.h"
#include "ProductListChecks.h"

using namespace zukaro;
using fuzzing::require;

namespace {

// One folder for the whole run; QSettings keeps files it read by name, so each .ini is new.
const QString& folder() {
    static const QString path = [] {
        QByteArray name = qgetenv("TMPDIR").isEmpty() ? "/tmp" : qgetenv("TMPDIR");
        name += "/zukaro-fuzz-XXXXXX";
        const QString made = QFile::decodeName(::mkdtemp(name.data()));
        std::atexit([] { QDir(folder()).removeRecursively(); });
        return made;
    }();
    return path;
}

bool writeBytes(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(bytes.data(), bytes.size()) == bytes.size();
}

void printingJson(QByteArrayView bytes) {
    const QString dir = folder();
    QFile::remove(dir + QStringLiteral("/printing.json.damaged"));
    require(writeBytes(printingSettingsPath(dir), bytes));
    const PrintingSettingsLoad before = loadPrintingSettings(dir);
    fuzzing::requireShowable(before.error.simplified());
    const StoredCalibration added{{1.5, -0.5, 1.001, 0.999}, QStringLiteral("2025-04-01")};
    const QString printer = QStringLiteral("Fuzz-Printer");
    if (!storeCalibration(dir, printer, added).ok) {
        return;
    }
    const PrintingSettingsLoad after = loadPrintingSettings(dir);
    require(after.settings.calibrations.at(printer) == added);
    require(after.settings.sheetShift == before.settings.sheetShift || !before.error.isEmpty());
    for (const auto& [name, stored] : before.settings.calibrations) {
        require(name == printer || after.settings.calibrations.at(name) == stored);
    }
}

void columnsIni(QByteArrayView bytes, int n) {
    const QString path = folder() + QStringLiteral("/columns-%1.ini").arg(n);
    require(writeBytes(path, bytes));
    const IniFile file = openIniFile(path);
    require(file.settings != nullptr);
    const QStringList header{QStringLiteral("JAN"), QStringLiteral("品名"), QStringLiteral("売価"),
                             QStringLiteral("枚数")};
    ColumnMapping::recall(*file.settings, header);
    const ColumnMapping chosen = *ColumnMapping::fromHeader(header);
    chosen.remember(*file.settings, header);
    const std::optional<ColumnMapping> back = ColumnMapping::recall(*file.settings, header);
    require(back.has_value());
    for (const ProductColumn what : kProductColumns) {
        require(back->column(what) == chosen.column(what));
    }
    QFile::remove(path);
}

void masterIni(QByteArrayView bytes, int n) {
    const QString path = folder() + QStringLiteral("/master-%1.ini").arg(n);
    require(writeBytes(path, bytes));
    const IniFile file = openIniFile(path);
    require(file.settings != nullptr);
    const QString address =
        file.settings->value(QStringLiteral("master/address")).toString().trimmed();
    if (!address.isEmpty()) {
        const MasterLocationResult read = parseMasterLocation(address);
        require(read.location.has_value() != !read.error.isEmpty());
        // An address written back reads the same. (Not yet for one with control characters,
        // or a host= holding "]", "/" or "?", which address() does not quote: left to the
        // parser's own work.)
        static const QRegularExpression unquoted(QStringLiteral("[\\x00-\\x1f\\x7f]"));
        static const QRegularExpression hostMarks(QStringLiteral("[\\]/?#@]"));
        if (read.location && !address.contains(unquoted) &&
            !read.location->host.contains(hostMarks)) {
            const MasterLocationResult again = parseMasterLocation(read.location->address());
            require(again.location == read.location);
        }
    }
    QFile::remove(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int runs = 0;
    if (size == 0) {
        return 0;
    }
    const QByteArrayView bytes(reinterpret_cast<const char*>(data) + 1,
                               static_cast<qsizetype>(size - 1));
    switch (data[0] % 3) {
        case 0:
            printingJson(bytes);
            break;
        case 1:
            columnsIni(bytes, ++runs);
            break;
        default:
            masterIni(bytes, ++runs);
            break;
    }
    return 0;
}
