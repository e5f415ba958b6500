// How install phases turn their steps into bar positions.
#pragma once

class IInstallUi;

struct ProgressRange {
  int start;  // percent
  int end;    // percent
};

// SetProgress(start + (end - start) * k / n) when a range is given.
void ReportStep(IInstallUi& ui, const ProgressRange* range, int k, int n);
// Filled width of a bar for a percentage, integer arithmetic, truncated.
int ProgressFilledWidth(int barWidth, int percent);
