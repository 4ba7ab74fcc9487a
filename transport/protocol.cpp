#include "transport/protocol.h"

Protocol::~Protocol() {
  if (group_) group_->remove(this);
}

void Protocol::local_prepare_head(Packet& packet) { packet.reserve_head(0); }
void Protocol::local_prepare_tail(Packet& packet) { packet.reserve_tail(0); }
Protocol_status Protocol::local_initialize() { return make_success(this, "success"); }
void Protocol::local_activate() { on_activate(); }
void Protocol::local_deactivate() { on_deactivate(make_success(this, "success")); }

void Protocol::transmit(Packet& packet) {
  if (lower_) lower_->message(packet);
  else if (group_) group_->transmit(packet);
}

void Protocol::on_message(Packet& packet) {
  if (upper_) upper_->receive(packet);
  else if (group_) group_->on_message(packet);
}

void Protocol::on_activate() {
  if (upper_) upper_->local_activate();
  else if (group_) group_->on_activated(this);
}

void Protocol::on_deactivate(const Protocol_status& status) {
  if (status && status->success()) {
    if (lower_) lower_->deactivate();
    else if (group_) group_->on_deactivated(this, status);
  } else {
    if (upper_) upper_->on_deactivate(status);
    else if (group_) group_->on_deactivated(this, status);
  }
}

void Protocol::on_status(const Protocol_status& status) {
  if (upper_) upper_->on_status(status);
  else if (group_) group_->on_status(status);
}

void Protocol::message(Packet&) {}
void Protocol::receive(Packet&) {}

void Protocol::activate() {
  if (lower_) lower_->activate();
  else local_activate();
}

void Protocol::deactivate() { local_deactivate(); }

void Protocol::protocol_info(std::ostream& out) const { out << name().name(); }

Protocol_status Protocol::initialize() {
  if (lower_) {
    Protocol_status status = lower_->initialize();
    if (!status || !status->success()) return status;
  }
  return local_initialize();
}

void Protocol::prepare_head(Packet& packet) {
  if (lower_) lower_->prepare_head(packet);
  local_prepare_head(packet);
}

void Protocol::prepare_tail(Packet& packet) {
  if (lower_) lower_->prepare_tail(packet);
  local_prepare_tail(packet);
}

ProtocolsList::~ProtocolsList() {
  while (tail_) delete tail_;  // each layer unlinks itself
}

void ProtocolsList::on_activated(Protocol*) {}
void ProtocolsList::on_deactivated(Protocol*, const Protocol_status&) {}

void ProtocolsList::add_protocol_head(Protocol* layer) {
  if (layer->group_) layer->group_->remove(layer);
  layer->group_ = this;
  layer->lower_ = nullptr;
  layer->upper_ = head_;
  if (head_) head_->lower_ = layer;
  else tail_ = layer;
  head_ = layer;
}

void ProtocolsList::add_protocol_tail(Protocol* layer) {
  if (layer->group_) layer->group_->remove(layer);
  layer->group_ = this;
  layer->upper_ = nullptr;
  layer->lower_ = tail_;
  if (tail_) tail_->upper_ = layer;
  else head_ = layer;
  tail_ = layer;
}

void ProtocolsList::remove(Protocol* layer) {
  if (layer->group_ != this) return;
  if (layer->lower_) layer->lower_->upper_ = layer->upper_;
  else head_ = layer->upper_;
  if (layer->upper_) layer->upper_->lower_ = layer->lower_;
  else tail_ = layer->lower_;
  layer->upper_ = layer->lower_ = nullptr;
  layer->group_ = nullptr;
}

void ProtocolsFamily::local_activate() {
  if (top()) top()->activate();
}

void ProtocolsFamily::local_deactivate() {
  if (top()) top()->deactivate();
}

void ProtocolsFamily::on_activated(Protocol* layer) {
  if (layer == top()) on_activate();
}

void ProtocolsFamily::on_deactivated(Protocol*, const Protocol_status& status) { on_deactivate(status); }

void ProtocolsFamily::local_prepare_head(Packet& packet) {
  if (top()) top()->prepare_head(packet);
}

void ProtocolsFamily::local_prepare_tail(Packet& packet) {
  if (top()) top()->prepare_tail(packet);
}

void ProtocolsFamily::message(Packet& packet) {
  if (top()) top()->message(packet);
}

Protocol_status ProtocolsFamily::local_initialize() {
  if (!top()) return Protocol_status(new Protocol_initialize_error(this, "error"));
  return top()->initialize();
}
