// A reinstallation that puts a destination somewhere else than the run
// before it: the files of the earlier run stay where they are, and the
// removal must still find them there, while [destinations] describes the
// directories of the new run.
//
// Before the new run writes its destinations, KeepMovedDestinations gives
// every directory that the new run moves a destination id of its own (the
// next ids above all others, "name|-1|old path") and moves the records of
// its files into a section of their own, "<group>~<new id>" (listed in
// [groups] with the group's record, so that the removal walks it). The
// group's own section keeps only the records of files that stay put, and
// the new run's records of the same names go there without overwriting the
// old ones. A removal then deletes both copies, and both directories when
// they are empty.
#pragma once

class CIniText;
class CInstallModel;

// Changes the log's text in memory. Does nothing when the log has no
// destinations, when they cannot be resolved, or when no destination of the
// model has another path than the log gives it. A destination that the
// model does not have is left as it is.
void KeepMovedDestinations(CIniText& log, const CInstallModel& model);
