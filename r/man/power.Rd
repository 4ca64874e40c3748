\name{power}
\alias{power}
\title{Every index of a voting body as the command line's table}
\description{
Every index asked for, one row per player (one per chamber for unweighted
chambers) with the columns of the command line's CSV (\code{vkx all GAME
--winset T --format csv}): \code{quota} (for a share or a range),
\code{subgame}, \code{player}, \code{name}, \code{weight}, then each index's
columns and the method that counted it. The numbers are those of the command
line to the last digit; the CSV itself is the attribute \code{"csv"}.
}
\usage{
power(weights, quota, indices = "all", systems = NULL, rule = "and",
      estimate = NULL, memory = NULL, overall = NULL, unit = "members",
      blocking = NULL, exhaustive = FALSE, totals = FALSE)
}
\arguments{
\item{weights, quota}{the game and the win set, as for \code{\link{banzhaf}}.}
\item{indices}{\code{"all"}, a name (\code{"shapley"}, \code{"banzhaf"},
  \code{"publicgood"}, \code{"coleman"}), a comma list
  \code{"shapley,banzhaf"} or a vector of names.}
\item{systems}{further vote systems of the same players (multiple weights):
  a list of \code{list(weights, quota)}; every system's win set must be
  met.}
\item{rule}{with systems, how the overall threshold joins the win sets:
  \code{"and"} or \code{"or"}.}
\item{estimate}{sample until every value's standard error is below this
  (e.g. 0.001) instead of counting exactly; each value then has its error
  beside it (\code{SS_error}, ...).}
\item{memory}{the memory the count may take: bytes, or \code{"4G"},
  \code{"512M"}.}
\item{overall}{an overall threshold: a least number of members (with
  \code{unit = "votes"} of first-system votes).}
\item{unit}{\code{"members"} or \code{"votes"}.}
\item{blocking}{with systems: a coalition loses when the players outside it
  hold more than this in the second system.}
\item{exhaustive}{\code{TRUE}: count exactly however long it takes.}
\item{totals}{\code{TRUE}: end in the report's \code{"sum of all"} row.}
}
\details{
The columns of each index: shapley \code{SS} (Shapley-Shubik), \code{II}
(inclusiveness), \code{winsets}; banzhaf \code{NNBZ} (absolute), \code{NBZ}
(normalised); publicgood \code{PGI} (public good), \code{MBP}, \code{DPI}
(Deegan-Packel); coleman \code{PREVENT}, \code{INITIATE}. A title two
indices share gets the index's name in front (\code{banzhaf_NBZ}).
}
\value{A data.frame.}
\seealso{\code{\link{banzhaf}} and the other indices alone, \code{\link{vkx_plan}}.}
\examples{
power(c(A = 3, B = 2, C = 1), 4, "banzhaf")
power(c(A = 3, B = 2, C = 1), 4, c("shapley", "publicgood"), totals = TRUE)
}
