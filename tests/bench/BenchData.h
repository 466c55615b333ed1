#pragma once
// A data file as a busy small business has it after some years, for the
// benchmarks of every screen: `lines` expense lines spread evenly over the
// three years 2024 to 2026 (dated in order, line numbers 1, 2, ... within a
// day), over `partners` partners and `items` items, of which `pairs`
// partner-item pairs are used; the masters hold every partner, item and pair.
//
//   MakeBenchDataFile(dir.filePath("MurvData2K.mdb"), 50000, 300, 40, 600);

#include <QString>

namespace bench {

inline constexpr int kBenchFirstYear = 2024;
inline constexpr int kBenchLastYear = 2026;

// The name of partner i and item j, as the file holds them.
QString BenchPartner(int i);
QString BenchItem(int j);

// Makes the file (it must not exist). Returns false with the reason on stderr.
bool MakeBenchDataFile(const QString& path, int lines, int partners, int items, int pairs);

}  // namespace bench
