#pragma once
// The report windows' tests: the preview that opens next saves its PDF
// (and offers the list's rows for a spreadsheet, as every list does),
// and the one PDF a folder then holds is read back by pdftotext (and
// removed, so that the next report's is the only one again).
#include "support/Files.h"
#include "support/ui/UiTest.h"

#include <QPushButton>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::test {

inline void savePdfInNextPreview() {
    onNextModal([](QWidget* preview) {
        auto* pdf = preview->findChild<QPushButton*>("Pdf");
        QVERIFY2(pdf, "no report preview opened");
        QVERIFY2(preview->findChild<QPushButton*>("Excel") && preview->findChild<QPushButton*>("Csv"),
                 "the preview offers no spreadsheet");
        QTest::mouseClick(pdf, Qt::LeftButton);
    });
}

// "" unless the folder holds exactly one file.
inline std::string takeOnlyPdfText(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(dir)) files.push_back(e.path());
    if (files.size() != 1) return "";
    const std::string text = runCommand("pdftotext -layout '" + files[0].string() + "' -");
    std::filesystem::remove(files[0]);
    return text;
}

} // namespace velmora::test
