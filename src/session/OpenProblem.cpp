#include "session/OpenProblem.h"

#include "base/FileIo.h"
#include "datafile/NameFiles.h"
#include "datafile/OpenedGrid.h"
#include "session/Messages.h"
#include "text/NumberText.h"

namespace kvado::session {

namespace {

// Shows the header as the edits once it is read, besides what the caller observes.
class HeaderCatcher : public datafile::LoadObserver {
public:
    HeaderCatcher(OpenResult& result, char sep, datafile::LoadObserver* forward)
        : m_result(result), m_sep(sep), m_forward(forward) {}
    void header(const LpProblem& p) override {
        m_result.edits = editTextsOf(p, m_sep);
        if (m_forward) m_forward->header(p);
    }
    void progressMaximum(int32_t m) override {
        if (m_forward) m_forward->progressMaximum(m);
    }
    void progress(int32_t i) override {
        if (m_forward) m_forward->progress(i);
    }

private:
    OpenResult& m_result;
    char m_sep;
    datafile::LoadObserver* m_forward;
};

// A name file's bytes, or nothing when it is missing (or unreadable, when `errorsStop` is
// false). Reads throw FileError otherwise.
std::optional<std::string> nameFileBytes(const std::string& path, bool errorsStop) {
    if (!pathExists(path)) return std::nullopt;
    if (errorsStop) return readFileBytes(path);
    try {
        return readFileBytes(path);
    } catch (const FileError&) {
        return std::nullopt;
    }
}

OpenResult stopped(OpenResult r, OpenStatus status, std::string error, std::string reason) {
    r.status = status;
    r.error = std::move(error);
    r.reason = std::move(reason);
    return r;
}

} // namespace

OpenResult openProblem(const std::string& path, LpProblem& p, StringGridModel& g,
                       const OpenOptions& options) {
    OpenResult r;
    p.dataFileName = datafile::baseName(path);
    if (!isRegularFile(path)) {
        r.status = OpenStatus::NotFound;
        r.messages.push_back(kFileNotFound);
        // The system's reason, as a read of the path gives it.
        try {
            readFileBytes(path);
        } catch (const FileError& e) {
            r.reason = e.what();
        }
        return r;
    }

    std::string bytes;
    try {
        bytes = readFileBytes(path);
        // A file without a single number would load as a problem of no rows and no unknowns
        // that nobody wrote: refused like a file that does not read, before anything changes.
        if (datafile::holdsNoNumber(bytes)) {
            r.badNumber = true;
            return stopped(r, OpenStatus::Stopped, kEmptyDataFile, kEmptyDataFile);
        }
        // The view follows the grid once, when the whole file is in.
        StringGridModel::UpdateScope update(g);
        HeaderCatcher header(r, options.decimalSeparator, options.observer);
        datafile::GridLoadObserver cells(g, options.decimalSeparator, &header);
        cells.setWriteNumbers(options.writeNumbers);
        try {
            r.shortFileNote = datafile::shortFileNote(datafile::readDataFile(bytes, p, &cells));
        } catch (const ProblemSizeError& e) {
            // Refused before anything was allocated or shown: the grid, the edits and the
            // problem are as they were.
            return stopped(r, OpenStatus::Refused, datafile::problemSizeMessage(bytes), e.what());
        }
        datafile::layOutOpenedGrid(g, p.M, p.N);
        r.dataRead = true;
    } catch (const text::ConversionError& e) {
        // A number that does not read ends the command where it stands: what was read stays,
        // and the name files are not read.
        r.badNumber = true;
        std::string error = e.what();
        r.badNumberPlace = datafile::badNumberPlace(bytes);
        if (!r.badNumberPlace.empty())
            error += "\r\nНеверное число в файле данных: " + r.badNumberPlace;
        return stopped(r, OpenStatus::Stopped, error, e.what());
    } catch (const FileError& e) {
        return stopped(r, OpenStatus::Stopped, e.what(), e.what());
    }

    try {
        const std::string constraintNames = datafile::sideFileName(path, "ogran");
        if (const auto bytes = nameFileBytes(constraintNames, options.nameFileErrorsStop)) {
            // One line more than M+1 tells a file of exactly M+1 lines from a longer one.
            const auto lines = datafile::splitNameLines(*bytes, static_cast<size_t>(p.M) + 2);
            if (auto bad = datafile::controlCharacterMessage(constraintNames, lines); !bad.empty())
                return stopped(r, OpenStatus::Stopped, bad, bad);
            r.objectiveName = datafile::applyConstraintNames(g, p.M, lines);
        } else {
            r.messages.push_back(datafile::missingConstraintNamesMessage(constraintNames, p.M));
        }
        const std::string unknownNames = datafile::sideFileName(path, "neizv");
        if (const auto bytes = nameFileBytes(unknownNames, options.nameFileErrorsStop)) {
            const auto lines = datafile::splitNameLines(*bytes, static_cast<size_t>(p.N));
            if (auto bad = datafile::controlCharacterMessage(unknownNames, lines); !bad.empty())
                return stopped(r, OpenStatus::Stopped, bad, bad);
            datafile::applyUnknownNames(g, p.N, lines);
        } else {
            r.messages.push_back(datafile::missingUnknownNamesMessage(unknownNames, p.N));
        }
    } catch (const FileError& e) {
        return stopped(r, OpenStatus::Stopped, e.what(), e.what());
    }
    return r;
}

} // namespace kvado::session
