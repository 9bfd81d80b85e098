#include "journal/recording.h"

namespace marivent::journal {

bool timer_tick(double& compteur, double intervalle) {
    const bool attempt = intervalle == compteur;
    if (attempt) compteur = 0;
    compteur = compteur + 1;
    return attempt;
}

} // namespace marivent::journal
