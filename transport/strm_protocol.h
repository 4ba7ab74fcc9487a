#pragma once
// The bottom layer for stream sockets: passes up whatever one read offers
// and writes outgoing packets completely, waiting at most one second for room.
// Any socket problem closes the socket and is reported upwards as an error.

#include <ostream>
#include <string>

#include "core/event.h"
#include "core/fd.h"
#include "core/measure.h"
#include "transport/protocol.h"

class StrmProtocol : public Protocol {
 public:
  StrmProtocol();
  ~StrmProtocol() override;

  void init() { text_ = "StrmProtocol"; }
  void attach(Fd socket);
  void release();
  bool attached() const { return socket_.valid(); }

  int sendbuf_space() const;
  int recvbuf_space() const;
  int inq_space() const;
  int outq_space() const;
  int free_space() const;

  void local_activate() override;
  void local_deactivate() override;
  void local_prepare_head(Packet& packet) override;
  void message(Packet& packet) override;

  void on_event(int fd, short revents);
  void PutHeader(std::ostream& out) const { out << "SockStream[" << display_name_ << "]: "; }

  void set_trace(bool on) { trace_ = on; }
  void set_display_name(const std::string& name) { display_name_ = name; }
  const std::string& display_name() const { return display_name_; }
  const Measure& read_measure() const { return read_measure_; }
  const Measure& write_measure() const { return write_measure_; }
  unsigned error_counter() const { return errors_; }

 private:
  void on_error(const std::string& text);
  void read();
  // ", sendbuf=.., recvbuf=.., free=.., inq=.., outq=.."
  void put_queues(std::ostream& out) const;

  std::string text_;
  Protocol_name_str strm_name_{"StrmProtocol"};
  Fd socket_;
  bool outq_reports_free_ = false;
  bool trace_ = false;
  std::string display_name_;
  Event event_;
  Measure read_measure_;
  Measure write_measure_;
  unsigned errors_ = 0;
};
