// The sign-in answer on any bytes: a GUID within the answer's cap, or the one plain failure
// that carries nothing of the answer.

#include "FuzzSupport.h"
#include "core/APIClient.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Result<QString> guid = APIClient::parseGuid(fuzzBytes(data, size));
    if (guid.isSuccess())
        FUZZ_CHECK(guid.value().size() <= APIClient::maximumSignInAnswerSize);
    else
        FUZZ_CHECK(guid.error().localizedDescription() == QLatin1String("Error"));
    return 0;
}
