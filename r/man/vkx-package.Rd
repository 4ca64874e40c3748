\name{vkx-package}
\alias{vkx-package}
\alias{vkx}
\docType{package}
\title{A-priori voting power of weighted and composite voting bodies}
\description{
The calculation of the vkx program as an R package: \code{\link{shapley}},
\code{\link{banzhaf}}, \code{\link{publicgood}},
\code{\link{deegan_packel}} and \code{\link{coleman}} per player,
\code{\link{power}} for every column of the command line's CSV,
\code{\link{vkx_plan}} for the plan of a count, \code{\link{read_game}} for a
data file of the program. Installed from the program's checkout with
\code{R CMD INSTALL r}.
}
\examples{
banzhaf(c(A = 3, B = 2, C = 1), 4)
}
