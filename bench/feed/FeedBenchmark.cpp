// Turning a large alarm feed into alarms, against libxml2 merely parsing and freeing the same
// bytes. The last line printed is feed_vs_libxml2_ratio=<ours / bare libxml2>.

#include "core/APIClient.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <libxml/parser.h>
#include <map>
#include <string>
#include <vector>

namespace {

// 10,000 items of about 300 bytes: 3 MB, in the shape the service sends.
const QByteArray& feed()
{
    static const QByteArray bytes = [] {
        QByteArray out =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
            "<title>T-O-VO alarms</title><link>https://www.tovo.example</link>\n";
        static const char* const levels[] = {"Critical", "Major", "Minor",
                                             "Resolved", "Okay",  "Closed"};
        for (int i = 0; i < 10000; ++i) {
            const QByteArray n = QByteArray::number(i);
            out += "<item><title>server-" + n + ".example.net: " + levels[i % 6] +
                   "</title><description>Agent: checker Resource: /var/lib/data/volume-" + n +
                   "&lt;br&gt;Disk usage above 95% on volume " + n +
                   "\nsince 10:02 (threshold 90%)&lt;br&gt;Details follow</description>"
                   "<pubDate>Sun, 06 Dec 2026 10:02:00 +0000</pubDate>"
                   "<guid isPermaLink=\"false\">3F2504E0-4F89-11D3-9A0C-" +
                   n.rightJustified(12, '0') + "</guid></item>\n";
        }
        return out + "</channel></rss>\n";
    }();
    return bytes;
}

void parseAlarmFeed(benchmark::State& state)
{
    for (auto _ : state) {
        const AlarmList alarms = APIClient::parseAlarmFeed(feed());
        benchmark::DoNotOptimize(alarms.size());
    }
    state.SetBytesProcessed(state.iterations() * feed().size());
}

void bareLibxml2(benchmark::State& state)
{
    for (auto _ : state) {
        xmlDocPtr doc =
            xmlReadMemory(feed().constData(), static_cast<int>(feed().size()), nullptr, nullptr,
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(state.iterations() * feed().size());
}

// Repetitions, interleaved at random (see main): each round runs both once, close together in
// time, so a round's ratio is little affected by other work on the machine; the median round
// is reported.
BENCHMARK(parseAlarmFeed)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(15);
BENCHMARK(bareLibxml2)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(15);

// Prints as usual and keeps each benchmark's CPU times per iteration, one per repetition.
class Recorder : public benchmark::ConsoleReporter {
public:
    Recorder()
        : ConsoleReporter(OO_None)
    {} // plain text: the output is read by scripts
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                times[run.run_name.function_name].push_back(run.GetAdjustedCPUTime());
        }
    }
    std::map<std::string, std::vector<double>> times;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> arguments = {argv[0], interleave};
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i]);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    std::printf("feed: %lld bytes\n", static_cast<long long>(feed().size()));
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    benchmark::Shutdown();
    const std::vector<double>& ours = recorder.times["parseAlarmFeed"];
    const std::vector<double>& bare = recorder.times["bareLibxml2"];
    std::vector<double> ratios;
    for (std::size_t i = 0; i < std::min(ours.size(), bare.size()); ++i)
        ratios.push_back(ours[i] / bare[i]);
    std::printf("parseAlarmFeed: %.3f ms CPU (median)\nbare libxml2: %.3f ms CPU (median)\n",
                median(ours), median(bare));
    std::printf("feed_vs_libxml2_ratio=%.3f\n", median(ratios));
    return 0;
}
