// The second half of reading a BLAST report, run beside the first. The
// reader gathers an alignment's three residue lines and its statistics text;
// when the alignment ends it hands them over, and a second thread turns them
// into the record (TransfertData: upper-cased lines, ends, gaps, statistics,
// HCA score) while the reader goes on with the report. Building the records
// is about half of a load, and most of the memory a load touches is written
// here.
//
// The texts are handed over without a copy: the reader writes into the
// accumulators of a slot of a ring, and handing over makes the next free
// slot current. Records are only read once Drain() has returned.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>

#include "vistram/results/records.h"

// Accumulators hold up to kAccSize - 1 characters.
inline constexpr std::size_t kAccSize = 10000;

// A fixed text accumulator; appends are cut at its capacity.
struct Accumulator {
  char* data = nullptr;
  std::size_t len = 0;
  void Clear() { len = 0; }
  void Append(const char* s, std::size_t n) {
    const std::size_t room = kAccSize - 1 - len;
    if (n > room) n = room;
    if (n == 0) return;
    std::memcpy(data + len, s, n);
    len += n;
  }
  void AppendBlanks(std::size_t n) {
    const std::size_t room = kAccSize - 1 - len;
    if (n > room) n = room;
    std::memset(data + len, ' ', n);
    len += n;
  }
  std::string_view View() const { return {data, len}; }
};

// What the record of a finished alignment is built from, besides its texts.
struct AlignmentJob {
  AliData* ali = nullptr;
  int queryStart = 0;
  int subjectStart = 0;
  int queryPrintedEnd = 0;
  int subjectPrintedEnd = 0;
  // The statistics text was gathered in the slot (Stats()); otherwise the
  // record's statsText is already set.
  bool statsInSlot = false;
  bool firstOfHit = false;  // the first alignment of its hit
  // Saved-results files: the eleven numbers and the gapped flag as saved,
  // which replace the computed ones.
  bool hasSavedNumbers = false;
  double savedNumbers[11] = {};
  int savedGapped = -1;
};

class AlignmentPipeline {
 public:
  AlignmentPipeline() = default;
  ~AlignmentPipeline();
  AlignmentPipeline(const AlignmentPipeline&) = delete;
  AlignmentPipeline& operator=(const AlignmentPipeline&) = delete;

  // Allocates the ring (through MyAlloc, which tells the user when memory
  // fails) and starts the builder thread; where no thread can be started the
  // records are built at Submit. False when the ring cannot be allocated.
  bool Start();

  // The accumulators of the alignment being read.
  Accumulator& Query() { return query_; }
  Accumulator& Middle() { return middle_; }
  Accumulator& Subject() { return subject_; }
  Accumulator& Stats() { return stats_; }

  // Hands the current accumulators and `job` over; the current accumulators
  // are then empty ones of the next slot. The caller no longer touches
  // *job.ali until Drain() has returned. False when a record could not be
  // built (memory): the load fails.
  bool Submit(const AlignmentJob& job);
  // Waits until every alignment handed over is built; false when one failed.
  bool Drain();
  // After Drain(): whether the first alignment of a hit built since the last
  // call has gaps; the answer starts again from false.
  bool TakeFirstOfHitGapped() {
    const bool gapped = firstOfHitGapped_ || readerFirstOfHitGapped_;
    firstOfHitGapped_ = readerFirstOfHitGapped_ = false;
    return gapped;
  }

 private:
  static constexpr std::size_t kSlots = 64;
  struct Slot {
    AlignmentJob job;
    std::size_t queryLength = 0, middleLength = 0, subjectLength = 0, statsLength = 0;
  };
  static constexpr std::size_t kTexts = 4;  // query, middle, subject, statistics
  char* SlotText(std::size_t slot, int text) const {
    return ring_ + (slot * kTexts + static_cast<std::size_t>(text)) * kAccSize;
  }
  void MakeCurrent(std::size_t slot);
  // Builds the record of one slot; sets `firstOfHitGapped` when it is the
  // gapped first alignment of a hit.
  bool Build(std::size_t slot, bool& firstOfHitGapped);
  void Run();                    // the builder thread
  // Wakes the builder when it sleeps and `pending` alignments wait for it.
  void WakeBuilder(std::size_t pending);
  void WakeReader();  // wakes the reader when it waits for a slot

  char* ring_ = nullptr;
  Slot slots_[kSlots];
  Accumulator query_, middle_, subject_, stats_;
  std::thread thread_;
  bool threaded_ = false;
  std::atomic<std::size_t> submitted_{0};
  std::atomic<std::size_t> built_{0};
  std::atomic<bool> failed_{false};
  bool firstOfHitGapped_ = false;  // written by the builder, read after Drain()
  bool readerFirstOfHitGapped_ = false;  // the same for records the reader built
  std::atomic<bool> stop_{false};
  std::atomic<bool> builderWaits_{false};
  std::atomic<bool> readerWaits_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
};
