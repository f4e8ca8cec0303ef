// The text of the report dialog "Choose a Report" as plain lines, so the
// dialog only shows them. The dialog's sixteen lines are numbered 3001 to
// 3016 from the top: 3001 and 3002 hold the header, 3003 stays blank and
// 3004 to 3016 hold the chosen report.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kesmir::reports {

constexpr int kFirstLine = 3001;
constexpr int kFirstReportLine = 3004;
constexpr int kLastLine = 3016;
constexpr int kReportLineCount = kLastLine - kFirstReportLine + 1;  // 13

// Lines 3004 to 3016; a line the report does not fill is empty.
using ReportLines = std::array<std::string, kReportLineCount>;

// The reports, numbered as their radio buttons.
enum class Report { energy = 201, direction, compare, absorption, spineWar, markers };

struct ReportChoice {
    Report report;
    const char* label;
};
inline constexpr std::array<ReportChoice, 6> kReports{{
    {Report::energy, "Energy"},
    {Report::direction, "Direction"},
    {Report::compare, "Compare"},
    {Report::absorption, "Absorption"},
    {Report::spineWar, "Spine War"},
    {Report::markers, "Markers"},
}};

// Lines 3001 and 3002: the cycle and the sample's counts.
std::array<std::string, 2> headerLines(int32_t cycle);

// Each runs the report's computations over the sample and returns its lines.
ReportLines energyLines();
ReportLines directionLines();
ReportLines compareLines();
ReportLines absorptionLines();
ReportLines spineWarLines();
ReportLines markerLines();

ReportLines reportLines(Report report);

}  // namespace kesmir::reports
