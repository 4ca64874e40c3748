\name{banzhaf}
\alias{shapley}
\alias{banzhaf}
\alias{publicgood}
\alias{deegan_packel}
\alias{coleman}
\title{Power indices of each player of a voting body}
\description{
The a-priori power of each player of a weighted voting body, a composite
council of several weight systems or unweighted chambers, counted exactly by
the calculation of the vkx program (or sampled on request), with the numbers
of its command line (\code{vkx banzhaf GAME --winset T --format csv}).
}
\usage{
shapley(weights, quota, ...)
banzhaf(weights, quota, absolute = FALSE, ...)
publicgood(weights, quota, ...)
deegan_packel(weights, quota, ...)
coleman(weights, quota, ...)
}
\arguments{
\item{weights}{the players' whole-number weights: a numeric vector, named
  after the players or not; a list of such vectors for several subgames
  (chambers); or a game of \code{\link{read_game}}, \code{\link{chambers}}
  or \code{\link{vkx_game}}.}
\item{quota}{the threshold of the win set: a whole number, a share of the
  total (\code{"62\%"}, \code{"majority"}: more than half), or a range
  (\code{"50\%:80\%:1\%"}, \code{"240:290:10"}) counted quota by quota. With
  several subgames a vector of one threshold per subgame, or a list of such
  vectors for several win sets.}
\item{absolute}{\code{TRUE}: the raw Penrose-Banzhaf measure instead of the
  normalised index.}
\item{...}{the options of \code{\link{power}}: \code{systems},
  \code{rule}, \code{overall}, \code{unit}, \code{blocking},
  \code{estimate}, \code{memory}, \code{exhaustive}.}
}
\details{
\describe{
\item{shapley}{the Shapley-Shubik index: the share of the orders of the
  players in which the player turns a losing coalition into a winning one.}
\item{banzhaf}{the Banzhaf index: the coalitions in which the player's vote
  is decisive, normalised to add up to 1 (\code{absolute = TRUE}: divided by
  \eqn{2^{n-1}}).}
\item{publicgood}{the public good index (Holler): the share of the player's
  memberships among all minimal winning coalitions.}
\item{deegan_packel}{the Deegan-Packel index: each minimal winning coalition
  equally likely, its power shared equally among its members.}
\item{coleman}{Coleman's power to prevent action and to initiate it.}
}
}
\value{
The index per player, named after the players when the game names them all
(\code{names(weights)}, or the comments of a data file); for unweighted
chambers one value per chamber (each of its members). \code{coleman} gives a
matrix with the columns \code{prevent} and \code{initiate}. A range of
quotas gives a list of those by quota.
}
\section{Errors}{
Wrong input stops with the command line's message (a condition of class
\code{vkx_error}); a game too large for the memory or the time with class
\code{vkx_refused}, the message naming the time and the way out (\code{estimate},
\code{exhaustive}, \code{memory}).
}
\seealso{\code{\link{power}} for every column at once, \code{\link{read_game}}.}
\examples{
banzhaf(c(A = 3, B = 2, C = 1), 4)
banzhaf(c(3, 2, 1), 4, absolute = TRUE)
shapley(c(DE = 29, FR = 29, IT = 29, ES = 27, PL = 27, NL = 13), "62\%")
publicgood(c(A = 3, B = 2, C = 1), 4)
deegan_packel(c(3, 2, 1), 4)
coleman(c(A = 3, B = 2, C = 1), 4)
banzhaf(c(A = 3, B = 2, C = 1), "4:6")
}
