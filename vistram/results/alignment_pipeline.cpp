#include "vistram/results/alignment_pipeline.h"

#include <new>
#include <system_error>

#include "vistram/results/blast_parser.h"
#include "vistram/base/memory.h"

AlignmentPipeline::~AlignmentPipeline() {
  if (thread_.joinable()) {
    stop_.store(true);
    {
      // (Under the lock, so that the builder cannot miss the stop between
      // its test and its wait.)
      std::lock_guard<std::mutex> lock(mutex_);
    }
    changed_.notify_all();
    thread_.join();
  }
  MyFree(ring_);
}

bool AlignmentPipeline::Start() {
  ring_ = static_cast<char*>(MyAlloc(kSlots * kTexts * kAccSize));
  if (ring_ == nullptr) return false;
  MakeCurrent(0);
  try {
    thread_ = std::thread([this] { Run(); });
    threaded_ = true;
  } catch (const std::system_error&) {
    threaded_ = false;  // built at Submit instead
  }
  return true;
}

void AlignmentPipeline::MakeCurrent(std::size_t slot) {
  query_ = {SlotText(slot, 0), 0};
  middle_ = {SlotText(slot, 1), 0};
  subject_ = {SlotText(slot, 2), 0};
  stats_ = {SlotText(slot, 3), 0};
}

bool AlignmentPipeline::Build(std::size_t slot, bool& firstOfHitGapped) {
  const Slot& s = slots_[slot];
  const AlignmentJob& job = s.job;
  AliData& ali = *job.ali;
  if (job.statsInSlot) SetText(ali.statsText, {SlotText(slot, 3), s.statsLength}, width::kStatsText);
  if (TransfertData(ali, {SlotText(slot, 0), s.queryLength}, {SlotText(slot, 1), s.middleLength},
                    {SlotText(slot, 2), s.subjectLength}, job.queryStart, job.subjectStart, job.queryPrintedEnd,
                    job.subjectPrintedEnd) != 1) {
    return false;
  }
  if (job.hasSavedNumbers) {
    double* fields[11] = {&ali.score,           &ali.expect,          &ali.identityPercent, &ali.hcaScore,
                          &ali.alignmentLength, &ali.positivePercent, &ali.pValue,          &ali.initn,
                          &ali.init1,           &ali.opt,             &ali.zScore};
    for (int k = 0; k < 11; ++k) *fields[k] = job.savedNumbers[k];
    if (job.savedGapped >= 0) ali.gapped = job.savedGapped;
  }
  if (job.firstOfHit && ali.gapped) firstOfHitGapped = true;
  return true;
}

// A sleeper sets its flag under the lock, then tests the counters; the
// other side writes a counter, then tests the flag (both sequentially
// consistent): one of the two sees the other, and the wake-up takes the lock
// so that it cannot fall between the sleeper's test and its wait. Each side
// is woken only when there is a batch for it, not for every alignment.
namespace {
constexpr std::size_t kBatch = 16;
constexpr std::size_t kLagged = 48;
}

void AlignmentPipeline::WakeBuilder(std::size_t pending) {
  if (pending == 0 || !builderWaits_.load()) return;
  { std::lock_guard<std::mutex> lock(mutex_); }
  changed_.notify_all();
}

void AlignmentPipeline::WakeReader() {
  if (!readerWaits_.load()) return;
  { std::lock_guard<std::mutex> lock(mutex_); }
  changed_.notify_all();
}

bool AlignmentPipeline::Submit(const AlignmentJob& job) {
  const std::size_t n = submitted_.load(std::memory_order_relaxed);
  Slot& s = slots_[n % kSlots];
  s.job = job;
  s.queryLength = query_.len;
  s.middleLength = middle_.len;
  s.subjectLength = subject_.len;
  s.statsLength = stats_.len;
  // Without a builder thread, and while the builder is behind by more than
  // kLagged alignments (long alignments: each record costs more to build
  // than to read), the reader builds the record itself, in the current
  // slot, which stays current. Both threads are then busy.
  if (!threaded_ || n - built_.load() >= kLagged) {
    if (!failed_.load() && !Build(n % kSlots, readerFirstOfHitGapped_)) failed_.store(true);
    MakeCurrent(n % kSlots);
    return !failed_.load();
  }
  submitted_.store(n + 1);
  const std::size_t pending = n + 1 - built_.load();
  if (pending >= kBatch) WakeBuilder(pending);
  // The next slot is free once the builder is done with it; the reader then
  // sleeps until half of the ring is free.
  if (pending >= kSlots) {
    WakeBuilder(pending);
    std::unique_lock<std::mutex> lock(mutex_);
    readerWaits_.store(true);
    changed_.wait(lock, [&] { return n + 1 - built_.load() <= kSlots / 2; });
    readerWaits_.store(false);
  }
  MakeCurrent((n + 1) % kSlots);
  return !failed_.load();
}

bool AlignmentPipeline::Drain() {
  if (threaded_ && built_.load() != submitted_.load()) {
    WakeBuilder(submitted_.load() - built_.load());
    std::unique_lock<std::mutex> lock(mutex_);
    readerWaits_.store(true);
    changed_.wait(lock, [&] { return built_.load() == submitted_.load(); });
    readerWaits_.store(false);
  }
  return !failed_.load();
}

void AlignmentPipeline::Run() {
  std::size_t next = 0;
  for (;;) {
    if (submitted_.load() == next) {
      std::unique_lock<std::mutex> lock(mutex_);
      builderWaits_.store(true);
      changed_.wait(lock, [&] { return submitted_.load() != next || stop_.load(); });
      builderWaits_.store(false);
      if (submitted_.load() == next) return;  // stopped with nothing left
    }
    // After a failure the rest is only counted: the load fails anyway.
    if (!failed_.load()) {
      bool ok = false;
      try {
        ok = Build(next % kSlots, firstOfHitGapped_);
      } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
      }
      if (!ok) failed_.store(true);
    }
    built_.store(++next);
    // The reader waits for half of the ring, or for the last alignment.
    const std::size_t pending = submitted_.load() - next;
    if (pending <= kSlots / 2) WakeReader();
  }
}
