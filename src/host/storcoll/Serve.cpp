#include "Serve.h"

#include "Collection.h"
#include "Commands.h"
#include "Health.h"
#include "ListenAddress.h"
#include "MetricsCache.h"
#include "MetricsServer.h"
#include "PromFormat.h"

namespace Storcoll {

int RunServe(Kvr::BaseCollector& plugin, std::span<const Kvr::CollectionMethodEntry> methods,
             const ServeOptions& options, const std::stop_token& stop, std::ostream& err)
{
    try {
        const ListenAddress address = ListenAddress::Parse(options.Listen);
        MetricsCache cache(
            [&] {
                Report report;
                report.Outcomes = CollectMethods(plugin, methods, std::nullopt, stop);
                report.Health = AssessHealth(report.Outcomes);
                return PromText(report);
            },
            std::chrono::duration_cast<MetricsCache::Clock::duration>(options.MinInterval));
        const auto server = MetricsServer::Load(cache, options.About);
        const int port = server->Bind(address);
        ListenAddress bound = address;
        bound.Port = static_cast<std::uint16_t>(port);
        err << "storcoll: serving metrics on http://" << bound.Text() << "/metrics" << std::endl;
        server->Run(stop);
        err << "storcoll: stopped" << std::endl;
        return Success;
    } catch (const BadListenAddress& error) {
        err << "storcoll: " << error.what() << '\n';
        return UsageError;
    } catch (const ListenError& error) {
        err << "storcoll: " << error.what() << '\n';
        return ListenFailed;
    }
}

}  // namespace Storcoll
