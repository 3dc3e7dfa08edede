#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace notify {

// The steps one cycle of the Notification Center runs, named as the Center's methods. MAILSERVER
// implements them; DO_MAIL decides which run and in which order. A step reports its own failures in
// the Center's status field or by mail and returns; a run-time error it throws ends the cycle and goes
// to the error handler.
class CycleSteps {
 public:
  virtual ~CycleSteps() = default;

  // Polls the reply mailboxes and acts on what they hold. The cycle passes mode 1.
  virtual void RESPONDER(int mode) = 0;
  // The seven notification kinds, each run only while its switch is on.
  virtual void CHECK_REQS() = 0;
  virtual void DO_CHECK() = 0;
  virtual void CHECK_COMPRAS() = 0;
  virtual void DO_MIN_MAX() = 0;
  virtual void CHECK_ACCIONES() = 0;
  virtual void DO_CHECK_TOURS() = 0;
  virtual void LOAD_MENUS_TOURS() = 0;
  // Run on every cycle, whatever the switches say.
  virtual void FOLLOWUP() = 0;
  virtual void CHECK_E_FTP() = 0;
  // Sends a bounded batch of the outbox; the last step of a cycle.
  virtual void dispatch_outbox() = 0;
};

// One notification kind: the DEFMAIL switch that enables it, the Center's check box bound to that
// switch, the check box's caption and the step that runs the kind.
struct NotificationKind {
  std::string_view flag;
  std::int64_t check_box;
  std::string_view caption;
  std::string_view step_name;
  void (CycleSteps::*step)();
};

// The kinds in the order a cycle runs them. The order is fixed: kinds queue mail that the same
// cycle's dispatch sends, and the scheduled kinds share one schedule clock, so the first of them
// after midnight is the one that only resets it.
inline constexpr std::array<NotificationKind, 7> kNotificationKinds{{
    {"NOTIFICA1", 1001, "Enviar Notificación de Requisiciones Pendientes x Autorizar", "CHECK_REQS",
     &CycleSteps::CHECK_REQS},
    {"NOTIFICA2", 1002, "Enviar Mails Programados de Ocupación", "DO_CHECK", &CycleSteps::DO_CHECK},
    {"NOTIFICA3", 1003, "Enviar Notificación de Compras Pendientes x Autorizar", "CHECK_COMPRAS",
     &CycleSteps::CHECK_COMPRAS},
    {"NOTIFICA4", 1004, "Enviar Notificación de Puntos Mínimos Inventario", "DO_MIN_MAX", &CycleSteps::DO_MIN_MAX},
    {"NOTIFICA5", 1005, "Enviar Notificación Acciones de Personal Pendientes x Autorizar", "CHECK_ACCIONES",
     &CycleSteps::CHECK_ACCIONES},
    {"NOTIFICA6", 1006, "Enviar Mails Programados Ingresos Tours", "DO_CHECK_TOURS", &CycleSteps::DO_CHECK_TOURS},
    {"NOTIFICA7", 1007, "Cargar Menús de Tours con Check In en Restaurante", "LOAD_MENUS_TOURS",
     &CycleSteps::LOAD_MENUS_TOURS},
}};

// The schedule clock guard that the scheduled kinds (occupancy, minimum stock, tours) run first.
// `last_time` is the Center's Last_Time, `now` the time of day in seconds. When the clock has passed
// midnight since the last evaluation (Last_Time lies ahead of now) the kind does nothing in this cycle:
// answers false. Either way Last_Time becomes now, so the next scheduled kind of the same cycle
// evaluates its schedules normally.
bool passes_schedule_clock(std::int64_t& last_time, std::int64_t now);

// Seconds since midnight of an "HH:MM:SS" text; missing or non-numeric parts count 0.
std::int64_t seconds_of_day(std::string_view time);

}  // namespace notify
