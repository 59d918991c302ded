#include "print/targets/printtarget.h"

#include "numtext/numtext.h"

namespace rotamet::print {

RunTimeError PrintTarget::lateError(std::chrono::seconds deadline, bool mayStillCome) const
{
    const std::string late = "La stampante '" + deviceName() + "' non ha preso la pagina entro "
        + NumberText(std::int32_t(deadline.count())) + " secondi: la stampa è stata abbandonata";
    if (mayStillCome)
        return RunTimeError(errcode::PrinterError,
                            late
                                + ", ma la pagina potrebbe ancora uscire, se la stampante la riceve più tardi. "
                                  "Controllare la stampante prima di stampare di nuovo.");
    return RunTimeError(errcode::PrinterError, late + ".");
}

}  // namespace rotamet::print
