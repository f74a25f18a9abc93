#include "platform/plan/plan_record.h"

PlanAction& PlanRecorder::Add(PlanVerb verb, const CString& item, const CString& state, bool changes,
                              const CString& detail) {
    PlanAction& action = m_actions.emplace_back();
    action.verb = verb;
    action.item = item;
    action.state = state;
    action.detail = detail;
    action.changes = changes;
    return action;
}
