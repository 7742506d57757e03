#ifndef NODMARK_BENCH_CONSTRUCTION_OS_CALLS_H_
#define NODMARK_BENCH_CONSTRUCTION_OS_CALLS_H_

// The operating-system calls that one construction of a GerneralNodmark must make,
// made directly, with none of the component's own work around them: the floor that
// the component's creation time is measured against.
namespace nodmark::bench {

// Seconds each group of calls took in one run, and the whole run.
struct OsCallTimes {
  double adapterListings = 0;  // GetAdaptersInfo three times into a twelve-record buffer
  double volumeQueries = 0;    // GetVolumeInformationA("c:\\") as often as asked
  double storeRead = 0;        // GetSystemDirectoryA, then GetPrivateProfileStringA
  double processor = 0;        // CPUID leaves 0 and 1, after the EFLAGS ID-bit test
  double sectionAttempt = 0;   // ntdll.dll's ZwOpenSection on physical memory
  double total = 0;
};

// Makes the calls of one construction in the steady state (the store file already
// holds its value, so it is read and not written). `volumeQueries` is 1 when an
// adapter qualifies (only the digest-based recipe reads the serial) and 3 otherwise.
OsCallTimes RunConstructionOsCalls(int volumeQueries);

}  // namespace nodmark::bench

#endif  // NODMARK_BENCH_CONSTRUCTION_OS_CALLS_H_
