\name{vkx_plan}
\alias{vkx_plan}
\title{How a count would go, without counting}
\description{
The plan of \code{\link{power}} with the same arguments (the command line's
\code{--plan}): per count the method planned, its passes, memory and time,
the methods that would follow it and why the others were not taken; the
totals against the memory budget and the time limit, and whether the run is
refused and why, rather than stopping with \code{vkx_refused}.
}
\usage{
vkx_plan(weights, quota, indices = "all", systems = NULL, rule = "and",
         estimate = NULL, memory = NULL, overall = NULL, unit = "members",
         blocking = NULL, exhaustive = FALSE)
}
\arguments{
\item{weights, quota, indices, systems, rule, estimate, memory, overall, unit, blocking, exhaustive}{as for \code{\link{power}}.}
}
\value{A list: \code{refused}, \code{reason}, \code{seconds} (CPU seconds
planned), \code{bytes} (the largest count's peak), \code{text} and
\code{json} (the whole plan).}
\examples{
p <- vkx_plan(c(3, 2, 1), 4, "banzhaf")
cat(p$text)
}
