#include "readers/qso_args_of.h"

namespace velmora::readers {

QsoArgs QsoArgsOf(const LogQso& q, const std::string& own_call,
                  const std::optional<Entity>& entity) {
  QsoArgs args;
  args.own_call = own_call;
  args.call = q.call;
  args.time = q.time;
  args.freq_hz = q.freq_hz;
  args.mode = q.mode;
  args.rst_sent = q.rst_sent;
  args.rst_rcvd = q.rst_rcvd;
  args.nr_sent = q.nr_sent;
  args.nr_rcvd = q.nr_rcvd;
  args.band = q.band;
  if (entity) args.prefix = entity->key, args.continent = entity->continent;
  return args;
}

}  // namespace velmora::readers
