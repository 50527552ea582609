// The feed parser on any bytes: no crash, hang or runaway memory, and no more text out of one
// feed than its cap, whatever its entities expand to.

#include "FuzzSupport.h"
#include "core/APIClient.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const AlarmList alarms = APIClient::parseAlarmFeed(fuzzBytes(data, size));
    // Agent, resource, description and guid are disjoint pieces of texts read once each; only
    // the fixed description of the service's exception alarm comes from elsewhere.
    qint64 text = 0;
    for (const AlarmPtr& alarm : alarms) {
        FUZZ_CHECK(alarm != nullptr);
        text += alarm->alarmAgent().size() + alarm->alarmResource().size() +
                alarm->alarmDescription().size() + alarm->alarmGuid().size();
    }
    FUZZ_CHECK(text <= APIClient::maximumFeedSize + 64 * alarms.size());
    return 0;
}
