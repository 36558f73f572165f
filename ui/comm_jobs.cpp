// The buttons' and the tick's communication sequences, run by the worker. Each reads like the
// handler it serves; what the handler showed is recorded in the job's outcome instead.
#include "ui/comm_jobs.h"

#include "ui/job_run.h"

namespace orvu {

CommState::Registration::~Registration() { SetEndpoint(nullptr); }

CommState::CommState(EndpointFactory make) : makeEndpoint(std::move(make)) { Clear(cfg); }

LanOutcome SearchJob(CommState& state, FailureOrigin origin) {
  JobRun run(state);
  run.Search(origin);
  return run.Finish();
}

LanOutcome SelectJob(CommState& state, int row) {
  JobRun run(state);
  run.SelectController(row);
  return run.Finish();
}

TickOutcome TickJob(CommState& state) {
  JobRun run(state);
  run.Tick();
  return run.FinishTick();
}

TickOutcome DelLostJob(CommState& state) {
  JobRun run(state);
  run.DelLost();
  return run.FinishTick();
}

LanOutcome ReplaceJob(CommState& state, int pair, const std::string& shownText, bool listFirst) {
  JobRun run(state);
  run.Replace(pair, shownText, listFirst);
  return run.Finish();
}

WriteOutcome WriteJob(CommState& state, const CtrlConfig& cfg, uint32_t controllerId) {
  JobRun run(state);
  const bool acknowledged = run.Write(cfg, controllerId);
  WriteOutcome outcome{run.Finish(), std::nullopt};
  if (acknowledged) outcome.acknowledged = cfg;
  return outcome;
}

PageOutcome WwwJob(CommState& state) {
  JobRun run(state);
  std::string url = run.Www();
  return PageOutcome{run.Finish(), std::move(url)};
}

}  // namespace orvu
