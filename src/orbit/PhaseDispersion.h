// Phase dispersion minimisation: the period at which the velocities, folded
// and divided into phase bins, scatter least within the bins (the sum of
// the bins' ranges). After R. F. Stellingwerf, ApJ 224, 953 (1978), with
// the range of each bin as its dispersion.
#pragma once

#include "Optimizer.h"
#include "core/Progress.h"

#include <cstdint>
#include <utility>
#include <vector>

class PhaseDispersion : public Optimizer {
public:
    // Step of the period scan, days.
    static constexpr double kPeriodStep = 0.01;

    PhaseDispersion() : Optimizer(1) {}

    // The dispersion at the period of the parameter table.
    double ObjectiveFunction() override;
    // Threads of a scan; 0: one per core. The scan is the same whatever the number.
    void SetThreads(unsigned lThreads) { m_lThreads = lThreads; }

    void SetPeriodRange(double fStart, double fLower, double fUpper);
    void SetNumberBins(int32_t lNumberBins) { m_lNumberBins = lNumberBins; }

    // Tries every period from the lower limit in steps of 0.01 days while below the upper one.
    // With pProgress the share of the range done is reported, and a cancel stops the scan without a
    // result.
    void ScanPeriods(Progress* pProgress = nullptr);
    // The dispersion over the periods the last scan tried (period, dispersion), for drawing: at most
    // kMaxScanPoints pairs, each the lowest dispersion of its stretch of periods.
    static constexpr std::size_t kMaxScanPoints = 100000;
    const std::vector<std::pair<double, double>>& GetScan() const { return m_vScan; }
    double GetBestPeriod() const;
    double GetPeriod() const;

private:
    // The bins of one evaluation, kept from period to period.
    struct Bins {
        std::vector<double> vMin;
        std::vector<double> vMax;
        std::vector<unsigned char> vOccupied;
        std::vector<uint32_t> vBin; // the bin of each velocity
    };
    double Dispersion(double fPeriod, Bins& oBins) const;
    // The dispersions of vPeriods into vValues, spread over the threads.
    void Disperse(const std::vector<double>& vPeriods, std::vector<double>& vValues);

    int32_t m_lNumberBins = 5;
    unsigned m_lThreads = 0;
    std::vector<Bins> m_vBins; // one per thread
    std::vector<std::pair<double, double>> m_vScan;
};
